#include "foundation/test_hooks.h"

#include "foundation/settings_sections.h"

void LFoundationResetForTests() {
  // Each unit with process-wide state adds its reset call here.
  LSettingsResetForTests();
}
