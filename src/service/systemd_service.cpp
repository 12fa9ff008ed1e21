#include "service/systemd_service.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/path_parts.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "foundation/write_all.h"
#include "service/root_prompt.h"
#include "service/program_copy.h"
#include "service/service_stop.h"
#include "service/systemd_unit.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool Systemctl(const LServicePaths& paths, const std::string& arguments) {
  return LRunCommandAsRootPrompt(paths.systemctl + " " + arguments);
}

// Written beside the unit and renamed over it, so that systemd never reads
// half a unit.
bool WriteUnit(const LServicePaths& paths, const std::string& text) {
  const std::string temporary = paths.systemdUnit + ".new";
  unlink(temporary.c_str());
  LUniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd) return false;
  if (!LWriteAll(fd.Get(), text) || fchmod(fd.Get(), 0644) != 0 || fsync(fd.Get()) != 0 ||
      rename(temporary.c_str(), paths.systemdUnit.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool LServiceSystemdRuns(const LServicePaths& paths) {
  return LIsFolder(paths.systemdRunFolder);
}

bool LServiceUnitPathIsPlain(const std::string& root) {
  if (root.empty() || root[0] != '/') return false;
  for (const char c : root) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '.' || c == '_' || c == '+' || c == '-';
    if (!plain) return false;
  }
  return true;
}

bool LServiceInstallUnit(const std::string& executablePath, const LServicePaths& paths) {
  const std::string root = LFile::GetInstallRoot();
  if (!LServiceUnitPathIsPlain(root) || !LServiceUnitPathIsPlain(paths.serviceExecutable)) return false;
  // The unit's only writable path must exist before the service starts, or
  // systemd refuses to set up its namespace.
  (void)LFile::GetSharedDataFolderApp();
  bool ok = Exists(root);
  ok = LServiceCopyProgram(executablePath, paths.serviceExecutable) && ok;
  ok = chmod(paths.serviceExecutable.c_str(), 0755) == 0 && ok;
  ok = WriteUnit(paths, LServiceUnitText(paths.serviceExecutable, root)) && ok;
  if (!ok) return false;
  if (!Systemctl(paths, "daemon-reload") || !Systemctl(paths, std::string("enable ") + kLServiceUnitName)) {
    return false;
  }
  LSettingSetString("Service", "Enabled", "1");
  // Restart rather than start: a re-install must run the program just copied.
  return Systemctl(paths, std::string("restart ") + kLServiceUnitName);
}

LServiceUnitRemoval LServiceUninstallUnit(const LServicePaths& paths) {
  const bool systemd = LServiceSystemdRuns(paths);
  if (systemd) (void)Systemctl(paths, std::string("stop ") + kLServiceUnitName);
  // Whatever systemctl said, the service must be gone before its files go.
  if (!LServiceStop(paths)) return LServiceUnitRemoval::kStillRunning;
  bool ok = !systemd || Systemctl(paths, std::string("disable ") + kLServiceUnitName);
  LSettingSetString("Service", "Enabled", "0");
  unlink(paths.systemdUnit.c_str());
  unlink(paths.serviceExecutable.c_str());
  if (systemd) ok = Systemctl(paths, "daemon-reload") && ok;
  return ok ? LServiceUnitRemoval::kRemoved : LServiceUnitRemoval::kSystemdRefused;
}
