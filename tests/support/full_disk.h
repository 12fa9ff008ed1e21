#pragma once
// A full disk for tests of what the server says when it cannot save: a small
// tmpfs mounted over one folder, holding a copy of what the folder held, then
// filled to the last byte. Mounting needs root (CAP_SYS_ADMIN). The mount is
// undone when the object goes, and the folder shows its old content again.

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

class KavrixFullDisk {
 public:
  static constexpr const char* kMountOptions = "size=512k,mode=0777";

  KavrixFullDisk() = default;
  ~KavrixFullDisk();
  KavrixFullDisk(const KavrixFullDisk&) = delete;
  KavrixFullDisk& operator=(const KavrixFullDisk&) = delete;

  // Mounts over `folder` (made when missing) and fills it; false with the
  // reason when that cannot be done here.
  bool MountFull(const std::string& folder, std::string& why);

 private:
  std::string folder_;
};

// Whether the tests run under CI, where a missing capability is a failure.
inline bool KavrixUnderCI() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0' && std::strcmp(ci, "false") != 0;
}

// Fills `folder` through `disk`, or ends the test: failed under CI, skipped
// elsewhere, with the reason either way.
#define KAVRIX_FULL_DISK_OR_SKIP(disk, folder)                              \
  do {                                                                      \
    std::string kavrix_why;                                                 \
    if (!(disk).MountFull((folder), kavrix_why)) {                          \
      if (KavrixUnderCI()) FAIL() << "no full disk for this test: " << kavrix_why; \
      GTEST_SKIP() << "no full disk for this test: " << kavrix_why;         \
    }                                                                       \
  } while (0)
