#pragma once
// Whole-file rewrites that cannot lose what was there before.
//
// A settings file used to be rewritten in place: truncated and written
// through the locked descriptor. A full disk or a process killed half-way
// then left a short file, and with it every other key was gone. Instead the
// new contents go to a temporary file in the same folder, are flushed to the
// disk, and the temporary file is renamed over the old one, so that any
// reader sees either the old file or the new one, never a part of either.
//
// Renaming puts a new inode at the path. A writer that waited for its
// exclusive lock on the old inode would otherwise rewrite from contents that
// are no longer current and lose the update made in between; LFileUpdateLock
// therefore checks, once it holds the lock, that its descriptor is still the
// file at the path, and starts again on the new file when it is not.
// Readers need no such check: whatever inode they opened is complete.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "foundation/file_lock.h"
#include "foundation/file_stamp.h"
#include "foundation/unique_fd.h"

// Holds an exclusive advisory lock on the inode currently at a path for one
// read-modify-write. When the lock cannot be had within the time-out the
// update goes ahead unlocked, as every settings operation does.
class LFileUpdateLock {
 public:
  LFileUpdateLock() = default;
  LFileUpdateLock(const LFileUpdateLock&) = delete;
  LFileUpdateLock& operator=(const LFileUpdateLock&) = delete;

  // Opens `path` read-write (creating it with mode 0660 when `create`) and
  // locks it. False when it cannot be opened; errno tells why (ENOENT for a
  // missing file without `create`).
  [[nodiscard]] bool Acquire(const std::string& path, bool create, int timeout_ms);

  int Fd() const { return fd_.Get(); }
  bool Locked() const { return lock_.has_value() && lock_->Locked(); }
  // The locked file as it was once the lock was held.
  const struct stat& Info() const { return info_; }

 private:
  void Release();

  // Declared after fd_ so that the lock is released before the close.
  LUniqueFd fd_;
  std::optional<LFileLockGuard> lock_;
  struct stat info_ {};
};

// Writes `bytes` to a temporary file beside `path` ("~" + the file's name +
// ".<pid>.<n>"), flushes it, gives it the mode and owner of `previous` (the
// file being replaced, or null for a new file) and renames it over `path`.
// Its modification time is set with full nanoseconds and always later than
// that of `previous`, so that two saves never carry the same stamp even on a
// file system whose clock ticks coarsely. On any failure the temporary file
// is removed, `path` is left as it was and false is returned (errno set).
// `written` receives the stamp of the new file.
[[nodiscard]] bool LReplaceFileContents(const std::string& path, std::string_view bytes,
                                        const struct stat* previous, LFileStamp* written);

// Reads the whole file through `fd` from offset 0. False on a read error.
[[nodiscard]] bool LReadWholeFile(int fd, std::string& out);
