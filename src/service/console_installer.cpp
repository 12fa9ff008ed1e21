#include "service/console_installer.h"

#include <sys/stat.h>

#include <cstdio>

#include "foundation/paths.h"
#include "service/root_prompt.h"
#include "service/service_control.h"
#include "service/systemd_service.h"

namespace {

void Say(const std::string& text) {
  printf("%s\n", text.c_str());
  fflush(stdout);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

int LConsoleInstall(const std::string& programPath, const LServicePaths& paths) {
  if (LServiceSystemdRuns(paths)) {
    if (!LServiceInstallUnit(programPath, paths)) {
      Say("KavrixServer service could not be installed and started as " + paths.serviceExecutable + " and " +
          paths.systemdUnit + " (data folder " + LFile::GetInstallRoot() + ").");
      return 1;
    }
    Say("KavrixServer service installed: " + paths.serviceExecutable + " and " + paths.systemdUnit +
        "; it starts at boot. Data folder: " + LFile::GetInstallRoot() + ".");
    return 0;
  }
  if (!LServiceInstall(programPath, paths)) {
    Say("KavrixServer service could not be installed as " + paths.serviceExecutable + " and " +
        paths.initScript + ".");
    return 1;
  }
  if (!LServiceSetAutoRun(true, paths)) {
    Say("KavrixServer service was installed, but its start at boot could not be enabled.");
    return 1;
  }
  if (!LRunCommandAsRootPrompt(paths.initScript + " restart")) {
    Say("KavrixServer service was installed, but it could not be started.");
    return 1;
  }
  Say("KavrixServer service installed: " + paths.serviceExecutable + " and " + paths.initScript +
      "; it starts at boot. Data folder: " + LFile::GetInstallRoot() + ".");
  return 0;
}

int LConsoleUninstall(const LServicePaths& paths) {
  // A unit is undone first; an init script left by an earlier installation
  // without systemd goes the older way after it.
  const bool hadUnit = Exists(paths.systemdUnit);
  if (hadUnit) {
    const LServiceUnitRemoval removal = LServiceUninstallUnit(paths);
    if (removal == LServiceUnitRemoval::kStillRunning) {
      Say("KavrixServer service could not be stopped; nothing was removed.");
      return 1;
    }
    if (removal == LServiceUnitRemoval::kSystemdRefused) {
      Say("systemctl could not disable " + paths.systemdUnit + " or reload its units.");
    }
  }
  if (hadUnit && !Exists(paths.initScript)) {
    Say("Uninstall Complete");
    Say("The data folder " + LFile::GetInstallRoot() + " was kept.");
    return 0;
  }
  // The init script stops the service with SIGTERM; the control channel's
  // stop message (inside LServiceUninstall) then finds nothing left to stop.
  if (Exists(paths.initScript)) {
    if (!LRunCommandAsRootPrompt(paths.initScript + " stop")) {
      Say("The init script " + paths.initScript + " could not stop the service.");
    }
  }
  if (!LServiceUninstall(paths)) {
    Say("KavrixServer service could not be stopped; nothing was removed.");
    return 1;
  }
  if (!LServiceSetAutoRun(false, paths)) {
    Say("The start at boot of KavrixServer could not be removed.");
  }
  Say("Uninstall Complete");
  Say("The data folder " + LFile::GetInstallRoot() + " was kept.");
  return 0;
}
