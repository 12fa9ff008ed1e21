#include "service/pipe_listener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

#include "foundation/log.h"
#include "foundation/process_wait.h"
#include "service/named_pipe.h"

namespace {

// Sets the mode of the file at `path` only if it is the socket this process
// just bound: through an O_PATH descriptor taken without following a link,
// so a file swapped in meanwhile is never touched.
bool MakeWorldConnectable(const std::string& path, dev_t* device, ino_t* inode) {
  LUniqueFd file(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  if (!file) return false;
  struct stat info {};
  if (fstat(file.Get(), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) return false;
  const std::string byDescriptor = "/proc/self/fd/" + std::to_string(file.Get());
  if (chmod(byDescriptor.c_str(), 0777) != 0) return false;
  *device = info.st_dev;
  *inode = info.st_ino;
  return true;
}

}  // namespace

LPipeListener::~LPipeListener() {
  StopThreadNow();
  Close();
}

bool LPipeListener::Open(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) {
    LOGERRORF("Control socket path too long: %s", path.c_str());
    return false;
  }
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  struct stat existing {};
  if (lstat(path.c_str(), &existing) == 0) {
    if (S_ISSOCK(existing.st_mode) && LNamedPipeRef::OpenPath(path)) {
      LOGERRORF("Another service already listens on %s", path.c_str());
      return false;
    }
    // A stale socket, or whatever else was put there; unlink removes a
    // symbolic link itself, never its target.
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
      LOGERRORF("unlink(%s) failed: %s", path.c_str(), strerror(errno));
      return false;
    }
  }
  LUniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) {
    LOGERRORF("socket() failed: %s", strerror(errno));
    return false;
  }
  // bind() creates the file and fails when anything (a link included) has
  // appeared at the path since the unlink above.
  if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    LOGERRORF("bind(%s) failed: %s", path.c_str(), strerror(errno));
    return false;
  }
  if (!MakeWorldConnectable(path, &device_, &inode_) || listen(fd.Get(), kLPipeListenBacklog) != 0) {
    LOGERRORF("Cannot open the control socket %s: %s", path.c_str(), strerror(errno));
    unlink(path.c_str());
    return false;
  }
  path_ = path;
  socket_ = std::move(fd);
  return true;
}

void LPipeListener::Close() {
  if (!socket_) return;
  socket_.Reset();
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_) {
    unlink(path_.c_str());
  }
}

void LPipeListener::ThreadFunction() {
  while (!IsStopRequested()) {
    pollfd wait{socket_.Get(), POLLIN, 0};
    // No time-out: the stop signal is part of the wait.
    if (ProcessWaitSignalObjectGroup(&wait, 1, -1) != kLProcessDone) continue;
    LUniqueFd connection(accept4(socket_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!connection) {
      // Out of descriptors: the pending connection stays ready; give the
      // system a moment instead of spinning on it.
      if (errno == EMFILE || errno == ENFILE) (void)GetStopSignal().WaitSignal(kLWaitSliceMs);
      continue;
    }
    handler_.NewConnection(std::move(connection));
  }
}
