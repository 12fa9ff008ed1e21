#include "foundation/test_hooks.h"

void LFoundationResetForTests() {
  // Each unit with process-wide state adds its reset call here.
}
