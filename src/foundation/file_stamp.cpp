#include "foundation/file_stamp.h"

LFileStamp LFileStamp::FromStat(const struct stat& info) {
  LFileStamp stamp;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.mtime_sec = info.st_mtim.tv_sec;
  stamp.mtime_nsec = info.st_mtim.tv_nsec;
  stamp.ctime_sec = info.st_ctim.tv_sec;
  stamp.ctime_nsec = info.st_ctim.tv_nsec;
  return stamp;
}

bool LFileStamp::OfPath(const char* path, LFileStamp& out) {
  struct stat info {};
  if (stat(path, &info) != 0) return false;
  out = FromStat(info);
  return true;
}

bool LFileStamp::OfFd(int fd, LFileStamp& out) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  out = FromStat(info);
  return true;
}
