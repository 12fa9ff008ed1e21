#include "support/full_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "foundation/unique_fd.h"

namespace {

// Writes until the file system has no byte left, in shrinking pieces so
// that even the last partial block is taken.
bool FillUp(const std::string& path) {
  LUniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd) return false;
  std::vector<char> block(64 * 1024, 'x');
  for (std::size_t piece = block.size(); piece > 0; piece /= 2) {
    while (::write(fd.Get(), block.data(), piece) > 0) {
    }
    if (errno != ENOSPC) return false;
  }
  return true;
}

}  // namespace

KavrixFullDisk::~KavrixFullDisk() {
  if (!folder_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
}

bool KavrixFullDisk::MountFull(const std::string& folder, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(folder, error);
  const std::string before = folder + ".before-full";
  fs::copy(folder, before, fs::copy_options::recursive, error);
  if (error) {
    why = "cannot copy " + folder + ": " + error.message();
    return false;
  }
  if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, kMountOptions) != 0) {
    why = std::string("mount(tmpfs) failed: ") + std::strerror(errno) + " (needs root with CAP_SYS_ADMIN)";
    return false;
  }
  folder_ = folder;
  fs::copy(before, folder, fs::copy_options::recursive, error);
  if (error) {
    why = "cannot copy into the tmpfs: " + error.message();
    return false;
  }
  if (!FillUp(folder + "/~filler")) {
    why = std::string("cannot fill the tmpfs: ") + std::strerror(errno);
    return false;
  }
  return true;
}
