#pragma once
// The SMTP settings step of the setup wizard.

class LWebletForm;

// "wizardsmtpsetting": the "Email" settings; also linked from the main
// page's to-do list with its own "onok"/"oncancel".
void WLWizardSmtpSetting(LWebletForm& form);
