#include "foundation/test_hooks.h"

#include "foundation/date_time.h"
#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "foundation/thread.h"

void LFoundationResetForTests() {
  // Each unit with process-wide state adds its reset call here.
  LDateTime::ClearFakeNow();
  LLogResetForTests();
  LThread::SetDefaultStackSize(0);
  LSettingsResetForTests();
}
