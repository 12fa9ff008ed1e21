#include "web/session/session_purge.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string_view>

#include "foundation/date_time.h"

namespace {

constexpr std::string_view kSessionSuffix = ".sess";

bool Expired(std::string_view name, std::int64_t age) {
  if (age <= kLShortSessionLifeSeconds) return false;
  return !(name.front() == 'l' && age <= kLLongSessionLifeSeconds);
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// Guards the folder and second of the last purge.
std::mutex gPurgeMutex;
std::string gLastPurgeFolder;
std::int64_t gLastPurgeSecond = 0;

}  // namespace

int LWebletPurgeSessionFolder(const std::string& folder, std::int64_t nowSeconds) {
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return 0;
  const int dirFd = ::dirfd(dir.get());
  int deleted = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() <= kSessionSuffix.size() || !name.ends_with(kSessionSuffix)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode)) continue;
    if (!Expired(name, nowSeconds - static_cast<std::int64_t>(info.st_mtime))) continue;
    if (::unlinkat(dirFd, entry->d_name, 0) == 0) ++deleted;
  }
  return deleted;
}

void LWebletPurgeExpiredSessions(const std::string& folder) {
  const std::int64_t now = LDateTime::Now().value;
  {
    std::lock_guard<std::mutex> lock(gPurgeMutex);
    if (now == gLastPurgeSecond && folder == gLastPurgeFolder) return;
    gLastPurgeSecond = now;
    gLastPurgeFolder = folder;
  }
  LWebletPurgeSessionFolder(folder, now);
}
