#include "service/service_control.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "engine/socket_ops.h"
#include "foundation/file_lock.h"
#include "foundation/path_parts.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "service/control_message.h"
#include "service/init_script.h"
#include "service/named_pipe.h"
#include "service/root_prompt.h"
#include "service/service_process.h"
#include "service/stop_semaphore.h"
#include "service/systemd_service.h"
#include "service/systemd_unit.h"
#include "foundation/write_all.h"

namespace {

constexpr int kScriptLockMs = 1000;
constexpr int kStopSendMs = 5000;
constexpr uint32_t kStopWaitMs = 5000;
constexpr size_t kCopyChunk = 64 * 1024;

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

// Copies into a new file beside the target and renames it over the target:
// a service running from the old file keeps it, and a half-copied program
// never stands at the installed path.
bool LServiceCopyProgram(const std::string& from, const std::string& to) {
  LUniqueFd source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!source) return false;
  const std::string temporary = to + ".new";
  unlink(temporary.c_str());
  LUniqueFd target(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700));
  if (!target) return false;
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = read(source.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || !LWriteAll(target.Get(), std::string_view(buffer.data(), static_cast<size_t>(got < 0 ? 0 : got)))) {
      unlink(temporary.c_str());
      return false;
    }
    if (got == 0) break;
  }
  if (fsync(target.Get()) != 0 || rename(temporary.c_str(), to.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

namespace {

// "S", two digits, then the service name.
bool IsStartLink(const std::string& entry) {
  const std::string name = kLServiceName;
  return entry.size() == 3 + name.size() && entry[0] == 'S' && entry[1] >= '0' && entry[1] <= '9' &&
         entry[2] >= '0' && entry[2] <= '9' && entry.compare(3, std::string::npos, name) == 0;
}

std::string ControlSocketPath(const LServicePaths& paths) {
  return paths.controlSocket.empty() ? LNamedPipeRef::MakeFilePath(kLServiceName) : paths.controlSocket;
}

bool SendStopMessage(const LServicePaths& paths) {
  LUniqueFd socket = LNamedPipeRef::OpenPath(ControlSocketPath(paths));
  if (!socket) return false;
  const LServiceMessageHeader stop{kLServiceMagic, kLServiceStop, 0, 0, 0};
  return ProcessSend(nullptr, socket.Get(), &stop, sizeof(stop), kStopSendMs) == kLProcessDone;
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

bool LServiceStop(const LServicePaths& paths) {
  if (LServiceFindProcess(paths.procFolder, kLServiceName) == LServiceSearch::kNotRunning) return true;
  // The semaphore is made before the stop message leaves: a service that
  // stops at once would otherwise remove it before it exists, and the wait
  // would then run out although the service has stopped.
  if (!LServiceCreateSemaphore(paths.stopSemaphore)) return false;
  if (!SendStopMessage(paths)) {
    LServiceClearSemaphore(paths.stopSemaphore);
    return false;
  }
  return LServiceWaitSemaphore(paths.stopSemaphore, kStopWaitMs);
}
