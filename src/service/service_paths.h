#pragma once
// The fixed names and paths of the installed service. Every function that
// touches one of them takes an LServicePaths, so that tests can point the
// whole service installation into a temporary folder; the defaults are the
// paths of a real installation.

#include <string>

inline constexpr char kLServiceName[] = "kavrixserverd";
inline constexpr char kLServiceStopSemaphore[] = "kavrixserverd.stopping";

struct LServicePaths {
  std::string serviceExecutable = "/usr/sbin/kavrixserverd";
  std::string initScript = "/etc/init.d/kavrixserverd";
  // Exists once update-rc.d has enabled the start at boot.
  std::string runLevelLink = "/etc/rc3.d/S19kavrixserverd";
  std::string procFolder = "/proc";
  // The program that registers the init script with the run levels.
  std::string updateRc = "update-rc.d";
  std::string stopSemaphore = kLServiceStopSemaphore;
  // Exists when the machine was booted with systemd: the service is then
  // installed as a unit, managed with systemctl.
  std::string systemdRunFolder = "/run/systemd/system";
  std::string systemdUnit = "/etc/systemd/system/kavrixserverd.service";
  std::string systemctl = "systemctl";
  // Empty: the control socket of the channel "kavrixserverd" in the shared
  // data folder.
  std::string controlSocket;
  // How long a stop waits for the service to confirm that it has stopped.
  unsigned stopWaitMs = 5000;
};

// The path the program was started with (argument 0), recorded by main; the
// service start copies this file over the installed service executable.
void LServiceSetProgramPath(const char* argv0);
// The recorded path, or the target of /proc/self/exe when none was recorded
// or the program was found through PATH (a name without "/").
std::string LServiceProgramPath();
