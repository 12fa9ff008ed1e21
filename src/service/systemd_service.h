#pragma once
// The service installed as a systemd unit, on machines booted with systemd.
// Every systemctl call goes through LRunCommandAsRootPrompt with the program
// of `paths.systemctl`.

#include <string>

#include "service/service_paths.h"

// Whether the machine runs systemd as its init: its run folder exists.
bool LServiceSystemdRuns(const LServicePaths& paths = {});

// Whether `root` can stand in the unit as it is: an absolute path of
// letters, digits and "/._+-" (no blanks, quotes or "%" specifiers).
bool LServiceUnitPathIsPlain(const std::string& root);

// Copies `executablePath` to the service executable (mode 0755), creates the
// data folder, writes the unit (mode 0644) for the installation root in
// effect, then daemon-reload, enable and restart. Each step is tried even
// when an earlier one failed; true when all of them worked.
[[nodiscard]] bool LServiceInstallUnit(const std::string& executablePath, const LServicePaths& paths = {});

enum class LServiceUnitRemoval {
  kRemoved,
  kStillRunning,    // nothing was removed
  kSystemdRefused,  // the files are gone, but disable or daemon-reload failed
};

// Undoes LServiceInstallUnit: stop, disable, remove the unit and the service
// executable, daemon-reload. Without systemd running only the files go, once
// the service is stopped over the control channel.
[[nodiscard]] LServiceUnitRemoval LServiceUninstallUnit(const LServicePaths& paths = {});
