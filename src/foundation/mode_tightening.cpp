#include "foundation/mode_tightening.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "foundation/unique_fd.h"

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

class TreeWalk {
 public:
  TreeWalk(const std::vector<LTreeModesException>& exceptions, const std::function<bool()>& stopRequested)
      : exceptions_(exceptions), stopRequested_(stopRequested) {}

  // `folder` is an open descriptor of a folder whose own mode is done.
  void Folder(LUniqueFd folder, LTreeModes modes, bool isRoot) {
    const int fd = folder.Get();
    std::unique_ptr<DIR, DirCloser> dir(fdopendir(folder.Release()));
    if (!dir) return;
    while (const dirent* entry = readdir(dir.get())) {
      if (stopRequested_ && stopRequested_()) return;
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      const LTreeModes entryModes = isRoot ? ModesOf(name, modes) : modes;
      struct stat info {};
      if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (S_ISDIR(info.st_mode)) {
        LUniqueFd sub(openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!sub) {
          // A folder closed to us is closed to the others as well.
          continue;
        }
        Narrow(sub.Get(), entryModes);
        Folder(std::move(sub), entryModes, false);
      } else if (S_ISREG(info.st_mode) && LNarrowedMode(info.st_mode, entryModes) != (info.st_mode & 07777)) {
        // O_NONBLOCK and O_NOFOLLOW: whatever was put at the name meanwhile
        // is neither waited on nor followed.
        LUniqueFd file(openat(fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file) {
          Narrow(file.Get(), entryModes);
        } else {
          ++result_.failed;
        }
      }
    }
  }

  // Narrows the entry open at `fd`, checked afresh through the descriptor.
  void Narrow(int fd, LTreeModes modes) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return;
    const mode_t narrowed = LNarrowedMode(info.st_mode, modes);
    if (narrowed == (info.st_mode & 07777)) return;
    if (fchmod(fd, narrowed) == 0) {
      ++result_.narrowed;
    } else {
      ++result_.failed;
    }
  }

  LModeTightening Result() const { return result_; }

 private:
  LTreeModes ModesOf(std::string_view name, LTreeModes modes) const {
    for (const LTreeModesException& exception : exceptions_) {
      if (exception.name == name) return exception.modes;
    }
    return modes;
  }

  const std::vector<LTreeModesException>& exceptions_;
  const std::function<bool()>& stopRequested_;
  LModeTightening result_;
};

}  // namespace

mode_t LNarrowedMode(mode_t mode, LTreeModes modes) {
  const mode_t bits = mode & 07777;
  const mode_t allowed = S_ISDIR(mode) ? modes.folder : modes.file;
  if ((bits & ~allowed) == 0) return bits;
  return (bits & allowed) | (allowed & S_ISGID);
}

LModeTightening LTightenTreeModes(const std::string& root, LTreeModes modes,
                                  const std::vector<LTreeModesException>& exceptions,
                                  const std::function<bool()>& stopRequested) {
  TreeWalk walk(exceptions, stopRequested);
  LUniqueFd folder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder) return {};
  walk.Narrow(folder.Get(), modes);
  walk.Folder(std::move(folder), modes, true);
  return walk.Result();
}
