#include "foundation/test_hooks.h"

#include <cstdlib>
#include <string>

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

bool LFoundationApplyTestClock() {
  const char* text = std::getenv("KAVRIX_TEST_NOW");
  if (text == nullptr || *text == '\0') return false;
  const std::string now(text);
  const std::size_t space = now.find(' ');
  LDateTime moment;
  if (space == std::string::npos || !moment.SetDateTime(now.substr(0, space), now.substr(space + 1)) ||
      !moment.IsSet()) {
    return false;
  }
  LDateTime::SetFakeNow(moment.value);
  return true;
}
