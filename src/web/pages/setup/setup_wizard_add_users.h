#pragma once
// Step 3 of the setup wizard: the first users.

class LWebletForm;

// "wizardaddusers": step 3, up to five first users.
void WLWizardAddUser(LWebletForm& form);
