#pragma once
// The setup wizard of a fresh installation: the first administrator, the
// welcome e-mail check (or the SMTP settings), the modules in use, the first
// users, and the finish page that logs the administrator on. The logon page
// runs WLWizardAdmin in its place while "Settings" "SetupWizardRun" does not
// begin with "0"; the last step sets it to "0".

#include "web/pages/setup/setup_wizard_add_users.h"
#include "web/pages/setup/setup_wizard_admin.h"
#include "web/pages/setup/setup_wizard_finish.h"
#include "web/pages/setup/setup_wizard_smtp.h"
#include "web/pages/setup/setup_wizard_steps.h"
