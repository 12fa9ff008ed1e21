#include "service/command_line.h"

#include <cstring>

LProgramRole LChooseProgramRole(int argc, const char* const* argv, bool hasDisplay) {
  const char* argument = argc >= 2 ? argv[1] : nullptr;
  if (argument == nullptr) return hasDisplay ? LProgramRole::kDesktop : LProgramRole::kService;
  if (strcmp(argument, "-service") == 0) return LProgramRole::kService;
  if (strcmp(argument, "-foreground") == 0) return LProgramRole::kForeground;
  // The install and uninstall wizards belong to the control window; until it
  // exists the console forms serve a desktop session as well (sudo keeps
  // DISPLAY).
  if (strcmp(argument, "-install") == 0) return LProgramRole::kConsoleInstall;
  if (strcmp(argument, "-uninstall") == 0) return LProgramRole::kConsoleUninstall;
  return hasDisplay ? LProgramRole::kDesktop : LProgramRole::kUsage;
}
