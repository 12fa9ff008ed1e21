#pragma once
// Installing, starting and stopping the background service from the console
// installer or the desktop. Every function takes the installation's paths
// (defaults: the real ones) and returns true on success. Commands that need
// root rights go through LRunCommandAsRootPrompt.

#include <string>

#include "service/service_paths.h"

// Copies the running program over the service executable and restarts the
// service through its init script: sh -c "cp %s %s && %s restart"; or with
// "systemctl restart kavrixserverd.service" when it is installed as a unit
// and systemd runs.
[[nodiscard]] bool LServiceStart(const LServicePaths& paths = {});

// Writes the init script (mode 0755), copies `executablePath` to the service
// executable and makes it executable ("chmod 755 %s" as root).
[[nodiscard]] bool LServiceInstall(const std::string& executablePath, const LServicePaths& paths = {});

// Stops the service (LServiceStop); only when that succeeds, deletes the init
// script and the service executable.
[[nodiscard]] bool LServiceUninstall(const LServicePaths& paths = {});

// On: "update-rc.d kavrixserverd defaults 19" as root, then "1" under
// "Service"/"Enabled"; true when the run-level link exists. Off: "0" under
// "Service"/"Enabled", then "update-rc.d -f kavrixserverd remove" as root.
[[nodiscard]] bool LServiceSetAutoRun(bool on, const LServicePaths& paths = {});

// True when a start link of the service exists in the run-level folder of
// `paths.runLevelLink` ("S", two digits, "kavrixserverd").
bool LServiceAutoRunLinkExists(const LServicePaths& paths = {});
