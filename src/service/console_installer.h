#pragma once
// The installer and uninstaller of the console (-install, -uninstall). They
// print what they did on standard output and return the exit status.

#include <string>

#include "service/service_paths.h"

// Installs the service files, enables the start at boot and (re)starts the
// service: as a systemd unit where systemd runs, else with the init script.
// 0 when all of it worked, 1 otherwise.
int LConsoleInstall(const std::string& programPath, const LServicePaths& paths = {});

// Stops the service (through systemctl or its init script, then the control
// channel), removes its files and the start at boot, and prints "Uninstall
// Complete".
// The data folder is kept. 0 when the service is gone, 1 when it could not
// be stopped (nothing is removed then).
int LConsoleUninstall(const LServicePaths& paths = {});
