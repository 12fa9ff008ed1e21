// kavrixserver: one executable, several roles (see service/command_line.h).

#include <cstdio>
#include <sys/stat.h>

#include <cstdlib>

#include "desktop/control_window_factory.h"
#include "desktop/user_autostart.h"
#include "foundation/file_modes.h"
#include "foundation/open_file_limit.h"
#include "foundation/test_hooks.h"
#include "service/command_line.h"
#include "service/console_installer.h"
#include "service/desktop_role.h"
#include "service/service_host.h"
#include "service/service_paths.h"
#include "service/signal_handlers.h"

int main(int argc, char** argv) {
  LInstallProcessSignalHandlers();
  // Only a test sets it; see test_hooks.h.
  (void)LFoundationApplyTestClock();
  // Every connection costs descriptors; the limit a service is started with
  // would shut users out long before the machine runs short.
  (void)LRaiseOpenFileLimit();
  LServiceSetProgramPath(argv[0]);
  const char* display = getenv("DISPLAY");
  switch (LChooseProgramRole(argc, argv, display != nullptr && display[0] != '\0')) {
    case LProgramRole::kService:
      return StartService();
    case LProgramRole::kForeground:
      return LServiceRunForeground();
    case LProgramRole::kConsoleInstall: {
      const int status = LConsoleInstall(LServiceProgramPath());
      if (status == 0 && !LDesktopSetAutoRunForAllUsers(true)) {
        printf("The start at desktop log-on could not be registered for every user.\n");
      }
      return status;
    }
    case LProgramRole::kConsoleUninstall: {
      const int status = LConsoleUninstall();
      if (status == 0 && !LDesktopSetAutoRunForAllUsers(false)) {
        printf("The start at desktop log-on could not be removed for every user.\n");
      }
      return status;
    }
    case LProgramRole::kDesktop:
      // Files the desktop creates (settings, logs) must stay usable by the
      // root service and the other desktop users of the data folder's group,
      // and by no other account.
      umask(kLDataUmask);
      {
        LDesktopOptions options;
        options.windowFactory = LGtkControlWindowCreate;
        return LDesktopRun(argc, argv, options);
      }
    case LProgramRole::kUsage:
      printf("%s\n", kLProgramUsage);
      return 1;
  }
  return 1;
}
