#pragma once
// Step 1 of the setup wizard: the first administrator.

class LWebletForm;

// "wizardadmin": step 1, the first administrator. Switches the wizard off
// when an administrator already exists.
void WLWizardAdmin(LWebletForm& form);
