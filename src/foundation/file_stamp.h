#pragma once
// What a cached copy of a file remembers about the file it was read from.
//
// Whole seconds and the size are not enough: another process may rewrite a
// file within the same second to the same length. The modification and
// change times are compared with their nanoseconds, and the inode as well,
// because every save puts a new inode in place (see file_replace.h).

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>

struct LFileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t mtime_sec = 0;
  std::int64_t mtime_nsec = 0;
  std::int64_t ctime_sec = 0;
  std::int64_t ctime_nsec = 0;

  static LFileStamp FromStat(const struct stat& info);
  // Stamp of the file at `path`; false when it cannot be stat'ed.
  static bool OfPath(const char* path, LFileStamp& out);
  static bool OfFd(int fd, LFileStamp& out);

  // Nothing loaded yet: every real file differs from this.
  bool IsUnset() const { return inode == 0 && device == 0 && size == 0 && mtime_sec == 0; }
  bool SameInode(const LFileStamp& other) const { return inode == other.inode && device == other.device; }
  bool operator==(const LFileStamp& other) const = default;
};
