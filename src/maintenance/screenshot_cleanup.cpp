#include "maintenance/screenshot_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/log.h"
#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "maintenance/calendar_days.h"
#include "model/core_data.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"

namespace {

constexpr std::string_view kScreenSuffix = "_qascreens";
constexpr std::size_t kDateLength = 10;  // "YYYY-MM-DD"
// Screenshot folders hold pictures only; anything nested deeper than this
// is not ours to walk.
constexpr int kMaxDepth = 8;

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using LDirPtr = std::unique_ptr<DIR, DirCloser>;

int OpenFolderNoFollow(int parent, const char* name) {
  return openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names in the folder behind `fd`, without "." and "..".
bool ListNames(int fd, std::vector<std::string>& names) {
  const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return false;
  LDirPtr dir(fdopendir(copy));
  if (!dir) {
    close(copy);
    return false;
  }
  while (const dirent* entry = readdir(dir.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  return true;
}

bool IsFolderNoFollow(int parent, const char* name) {
  struct stat info {};
  return fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

// Removes the folder `name` of `parent` with its contents; links inside are
// removed as links.
bool RemoveTree(int parent, const std::string& name, int depth) {
  if (depth > kMaxDepth) return false;
  {
    LUniqueFd fd(OpenFolderNoFollow(parent, name.c_str()));
    if (!fd) return false;
    std::vector<std::string> names;
    if (!ListNames(fd.Get(), names)) return false;
    for (const std::string& entry : names) {
      const bool ok = IsFolderNoFollow(fd.Get(), entry.c_str()) ? RemoveTree(fd.Get(), entry, depth + 1)
                                                                 : unlinkat(fd.Get(), entry.c_str(), 0) == 0;
      if (!ok) return false;
    }
  }
  return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

int Digit(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

}  // namespace

bool KXScreenFolderDay(std::string_view name, long& day) {
  if (name.size() != kDateLength + kScreenSuffix.size() || name.substr(kDateLength) != kScreenSuffix) return false;
  for (std::size_t i = 0; i < kDateLength; ++i) {
    if ((i == 4 || i == 7) ? name[i] != '-' : Digit(name[i]) < 0) return false;
  }
  return KXDateTextDayNumber(name.substr(0, kDateLength), day);
}

int KXDeleteOldScreenFolders(const std::string& archive_root, std::string_view folder_name, long today, int days) {
  if (folder_name.empty() || folder_name.find('/') != std::string_view::npos) return 0;
  // The archive root may itself be a link to another disk; below it nothing
  // is followed.
  LUniqueFd root(open(archive_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root) return 0;
  const std::string folder(folder_name);
  LUniqueFd user(OpenFolderNoFollow(root.Get(), folder.c_str()));
  if (!user) {
    if (errno == ELOOP || errno == ENOTDIR) LOGWARN("Not a folder, screenshots left alone: " + archive_root + "/" + folder);
    return 0;
  }
  std::vector<std::string> names;
  if (!ListNames(user.Get(), names)) {
    LOGERROR("Unable to list " + archive_root + "/" + folder + ": " + std::strerror(errno));
    return 0;
  }
  int deleted = 0;
  for (const std::string& name : names) {
    long day = 0;
    if (!KXScreenFolderDay(name, day) || today - day < days) continue;
    if (!IsFolderNoFollow(user.Get(), name.c_str())) continue;
    const std::string path = archive_root + "/" + folder + "/" + name;
    if (RemoveTree(user.Get(), name, 0)) {
      LOG("Deleted old screenshot folder ", path);
      ++deleted;
    } else {
      LOGERROR("Unable to delete " + path + ": " + std::strerror(errno));
    }
  }
  return deleted;
}

void KXDeleteOldScreenshots(LThread* thread) {
  const int days = KXOrgGetInt(LKXOrg::kAutoDeleteDays);
  if (days < 1) return;
  long today = 0;
  if (!KXLocalDayNumber(LDateTime::Now(), today)) return;
  const std::string root = LKXCoreData::GetArchiveRoot();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (thread != nullptr && thread->IsStopRequested()) return;
    (void)KXDeleteOldScreenFolders(root, LKXCoreData::GetUserFolderName(it.Get().GetEmail()), today, days);
  }
}
