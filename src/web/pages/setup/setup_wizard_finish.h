#pragma once
// The last page of the setup wizard.

class LWebletForm;

// "wizardfinish": what to do next; its OK logs the primary user on.
void WLWizardFinish(LWebletForm& form);
