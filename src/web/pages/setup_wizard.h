#pragma once
// The setup wizard of a fresh installation: the first administrator, the
// welcome e-mail check (or the SMTP settings), the modules in use, the first
// users, and the finish page that logs the administrator on. The logon page
// runs WLWizardAdmin in its place while "Settings" "SetupWizardRun" does not
// begin with "0"; the last step sets it to "0".

class LWebletForm;

// "wizardadmin": step 1, the first administrator. Switches the wizard off
// when an administrator already exists.
void WLWizardAdmin(LWebletForm& form);
// "wizardconfirmemail": step 2, did the welcome e-mail arrive?
void WLWizardConfirmEmail(LWebletForm& form);
// "wizardkavrixusage": which of the three modules the organisation uses.
void WLWizardKavrixUsage(LWebletForm& form);
// "wizardsmtpsetting": the "Email" settings; also linked from the main
// page's to-do list with its own "onok"/"oncancel".
void WLWizardSmtpSetting(LWebletForm& form);
// "wizardaddusers": step 3, up to five first users.
void WLWizardAddUser(LWebletForm& form);
// "wizardconnectremote": routed but answers nothing; the question is asked
// on the configuration page.
void WLWizardConnectRemote(LWebletForm& form);
// "wizardfinish": what to do next; its OK logs the primary user on.
void WLWizardFinish(LWebletForm& form);
