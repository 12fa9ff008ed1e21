#include "service/service_control.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "foundation/file_lock.h"
#include "foundation/path_parts.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "service/init_script.h"
#include "service/program_copy.h"
#include "service/root_prompt.h"
#include "service/service_process.h"
#include "service/service_stop.h"
#include "service/systemd_service.h"
#include "service/systemd_unit.h"
#include "foundation/write_all.h"

namespace {

constexpr int kScriptLockMs = 1000;

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The init script runs as root at every boot, so only root may change it:
// 0755 whatever the umask.
bool WriteInitScript(const LServicePaths& paths) {
  unlink(paths.initScript.c_str());
  LUniqueFd fd(open(paths.initScript.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755));
  if (!fd) return false;
  LFileLockGuard lock(fd.Get(), LOCK_EX, kScriptLockMs);
  if (ftruncate(fd.Get(), 0) != 0) return false;
  const std::string text = LServiceInitScriptText(paths.serviceExecutable);
  return LWriteAll(fd.Get(), text) && fchmod(fd.Get(), 0755) == 0;
}

}  // namespace

namespace {

// "S", two digits, then the service name.
bool IsStartLink(const std::string& entry) {
  const std::string name = kLServiceName;
  return entry.size() == 3 + name.size() && entry[0] == 'S' && entry[1] >= '0' && entry[1] <= '9' &&
         entry[2] >= '0' && entry[2] <= '9' && entry.compare(3, std::string::npos, name) == 0;
}

}  // namespace

bool LServiceStart(const LServicePaths& paths) {
  // A service installed as a unit has no init script; systemd starts it.
  const std::string restart = Exists(paths.systemdUnit) && LServiceSystemdRuns(paths)
                                  ? paths.systemctl + " restart " + kLServiceUnitName
                                  : paths.initScript + " restart";
  return LRunCommandAsRootPrompt("sh -c \"cp " + LServiceProgramPath() + " " + paths.serviceExecutable +
                                 " && " + restart + "\"");
}

bool LServiceInstall(const std::string& executablePath, const LServicePaths& paths) {
  // Each step is tried even when an earlier one failed, as a re-install
  // repairs what it can; the result tells whether all of them worked.
  bool ok = WriteInitScript(paths);
  ok = LServiceCopyProgram(executablePath, paths.serviceExecutable) && ok;
  ok = LRunCommandAsRootPrompt("chmod 755 " + paths.serviceExecutable) && ok;
  return ok && Exists(paths.initScript);
}

bool LServiceUninstall(const LServicePaths& paths) {
  if (!LServiceStop(paths)) return false;
  unlink(paths.initScript.c_str());
  unlink(paths.serviceExecutable.c_str());
  return true;
}

bool LServiceSetAutoRun(bool on, const LServicePaths& paths) {
  const std::string name = kLServiceName;
  if (on) {
    if (!LRunCommandAsRootPrompt(paths.updateRc + " " + name + " defaults 19")) return false;
    LSettingSetString("Service", "Enabled", "1");
    return LServiceAutoRunLinkExists(paths);
  }
  LSettingSetString("Service", "Enabled", "0");
  return LRunCommandAsRootPrompt(paths.updateRc + " -f " + name + " remove");
}

bool LServiceAutoRunLinkExists(const LServicePaths& paths) {
  if (Exists(paths.runLevelLink)) return true;
  // update-rc.d of current systems orders the scripts itself and names the
  // link with its own number (S01...), whatever number was asked for.
  std::unique_ptr<DIR, DirCloser> dir(opendir(LFolderOf(paths.runLevelLink).c_str()));
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) {
    if (IsStartLink(entry->d_name)) return true;
  }
  return false;
}

