#include "foundation/locked_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "foundation/file_lock.h"
#include "foundation/file_modes.h"

namespace {

// Each retry follows a completed edit of the same file, so a handful is
// plenty; the last open is kept as it is rather than failing the caller.
constexpr int kMaxOpenAttempts = 16;

// True when `fd` is still the file that `path` names.
bool StillNamed(int fd, const std::string& path) {
  struct stat by_fd {};
  struct stat by_path {};
  if (fstat(fd, &by_fd) != 0 || stat(path.c_str(), &by_path) != 0) return false;
  return by_fd.st_dev == by_path.st_dev && by_fd.st_ino == by_path.st_ino;
}

}  // namespace

bool LOpenLockedFile(const std::string& path, int flags, mode_t mode, int lock_op, int timeout_ms,
                     LLockedFile& out) {
  for (int attempt = 1;; ++attempt) {
    LUniqueFd fd = LOpenCreating(path, flags, mode);
    if (!fd) return false;
    const bool locked = flocktimed(fd.Get(), lock_op, timeout_ms) == 0;
    if (attempt == kMaxOpenAttempts || StillNamed(fd.Get(), path)) {
      out.fd = std::move(fd);
      out.locked = locked;
      return true;
    }
  }
}
