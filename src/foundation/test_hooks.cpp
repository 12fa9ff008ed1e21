#include "foundation/test_hooks.h"

#include "foundation/thread.h"

void LFoundationResetForTests() {
  // Each unit with process-wide state adds its reset call here.
  LThread::SetDefaultStackSize(0);
}
