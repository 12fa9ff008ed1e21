#include "foundation/file_modes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace {

// Another process may create or remove the file between the two opens; a
// few rounds settle it.
constexpr int kMaxCreateRounds = 4;

}  // namespace

LUniqueFd LOpenCreating(const std::string& path, int flags, mode_t mode) {
  flags |= O_CLOEXEC;
  if ((flags & O_CREAT) == 0) return LUniqueFd(::open(path.c_str(), flags));
  // The mode of open(2) passes through the umask; only a file known to be
  // new is given its mode, so an existing file never changes.
  const bool exclusive = (flags & O_EXCL) != 0;
  for (int round = 0; round < kMaxCreateRounds; ++round) {
    if (!exclusive) {
      LUniqueFd existing(::open(path.c_str(), flags & ~O_CREAT));
      if (existing || errno != ENOENT) return existing;
    }
    LUniqueFd created(::open(path.c_str(), flags | O_EXCL, mode));
    if (created) {
      if (::fchmod(created.Get(), mode) != 0) return LUniqueFd();
      return created;
    }
    if (exclusive || errno != EEXIST) return created;
  }
  errno = EEXIST;
  return LUniqueFd();
}

bool LCreateFolderWithMode(const std::string& path, mode_t mode) {
  if (path.empty()) return false;
  if (::mkdir(path.c_str(), mode & 0777) != 0) return errno == EEXIST;
  // Set through a descriptor of the folder just made, never through a link
  // put in its place meanwhile.
  LUniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  return folder && ::fchmod(folder.Get(), mode) == 0;
}
