#include "foundation/file_replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>

#include "foundation/file_modes.h"

namespace {

// Each try either finds its descriptor current or sees that another writer
// replaced the file meanwhile; a few dozen tries only run out when writers
// keep replacing the file faster than this one can lock it.
constexpr int kMaxLockTries = 32;
constexpr int kMaxTempNameTries = 100;
// Keeps "~" + name + ".<pid>.<n>" within the 255 bytes of a file name.
constexpr std::size_t kMaxTempBaseName = 200;

std::atomic<unsigned> gTempCounter{0};

// Removes the temporary file unless it was renamed into place.
class TempFileGuard {
 public:
  explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
  ~TempFileGuard() {
    if (!committed_) {
      const int saved = errno;
      unlink(path_.c_str());
      errno = saved;
    }
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Commit() { committed_ = true; }

 private:
  std::string path_;
  bool committed_ = false;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

LUniqueFd CreateTempFile(const std::string& path, std::string& temp_path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = (slash == std::string::npos) ? std::string() : path.substr(0, slash + 1);
  const std::string name = (slash == std::string::npos) ? path : path.substr(slash + 1);
  const std::string base = folder + "~" + name.substr(0, kMaxTempBaseName) + "." + std::to_string(getpid()) + ".";
  for (int tries = 0; tries < kMaxTempNameTries; ++tries) {
    temp_path = base + std::to_string(gTempCounter.fetch_add(1));
    LUniqueFd fd = LOpenCreating(temp_path, O_WRONLY | O_CREAT | O_EXCL);
    if (fd || errno != EEXIST) return fd;
  }
  return LUniqueFd();
}

// Now with full nanoseconds, but after the replaced file's time even when
// the clock was set back, so that the stamp changes with every save.
timespec NextModificationTime(const struct stat* previous) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (previous == nullptr) return now;
  const timespec& old = previous->st_mtim;
  if (now.tv_sec > old.tv_sec || (now.tv_sec == old.tv_sec && now.tv_nsec > old.tv_nsec)) return now;
  timespec later = old;
  if (++later.tv_nsec >= 1000000000L) {
    later.tv_nsec = 0;
    ++later.tv_sec;
  }
  return later;
}

// Keeps the replaced file's permissions (and, for root, its owner), so that
// a file the other process must write stays writable for it.
void CopyModeAndOwner(int fd, const struct stat* previous) {
  if (previous == nullptr) return;
  fchmod(fd, previous->st_mode & 07777);
  // Only root can give a file away. A failure loses nothing but the owner:
  // the file stays root's.
  if (geteuid() == 0 && fchown(fd, previous->st_uid, previous->st_gid) != 0) return;
}

}  // namespace

void LFileUpdateLock::Release() {
  lock_.reset();
  fd_.Reset();
}

bool LFileUpdateLock::Acquire(const std::string& path, bool create, int timeout_ms) {
  const int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
  for (int tries = 0; tries < kMaxLockTries; ++tries) {
    Release();
    fd_ = LOpenCreating(path, flags);
    if (!fd_) return false;
    lock_.emplace(fd_.Get(), LOCK_EX, timeout_ms);
    if (fstat(fd_.Get(), &info_) != 0) return false;
    struct stat at_path {};
    if (stat(path.c_str(), &at_path) == 0 && at_path.st_ino == info_.st_ino && at_path.st_dev == info_.st_dev) {
      return true;
    }
    // Replaced or removed while this writer waited: lock the current file.
  }
  // Writers keep replacing the file; go ahead on the last one opened, as an
  // update does after a lock time-out.
  return true;
}

bool LReplaceFileContents(const std::string& path, std::string_view bytes, const struct stat* previous,
                          LFileStamp* written) {
  std::string temp_path;
  LUniqueFd fd = CreateTempFile(path, temp_path);
  if (!fd) return false;
  TempFileGuard guard(temp_path);
  if (!WriteAll(fd.Get(), bytes)) return false;
  const timespec times[2] = {{0, UTIME_NOW}, NextModificationTime(previous)};
  futimens(fd.Get(), times);
  CopyModeAndOwner(fd.Get(), previous);
  // Flushed before the rename: a full disk or an I/O error must show here,
  // while the old file is still in place.
  if (fdatasync(fd.Get()) != 0) return false;
  if (rename(temp_path.c_str(), path.c_str()) != 0) return false;
  guard.Commit();
  // Stamped after the rename, which itself changes the inode's change time.
  if (written != nullptr && !LFileStamp::OfFd(fd.Get(), *written)) *written = LFileStamp();
  return true;
}

bool LReadWholeFile(int fd, std::string& out) {
  out.clear();
  char buffer[8192];
  off_t offset = 0;
  for (;;) {
    const ssize_t got = pread(fd, buffer, sizeof buffer, offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    out.append(buffer, static_cast<std::size_t>(got));
    offset += got;
  }
}
