#pragma once
// Step 2 of the setup wizard, the choice of modules and the remote-working
// question.

class LWebletForm;

// "wizardconfirmemail": step 2, did the welcome e-mail arrive?
void WLWizardConfirmEmail(LWebletForm& form);
// "wizardkavrixusage": which of the three modules the organisation uses.
void WLWizardKavrixUsage(LWebletForm& form);
// "wizardconnectremote": routed but answers nothing; the question is asked
// on the configuration page.
void WLWizardConnectRemote(LWebletForm& form);
