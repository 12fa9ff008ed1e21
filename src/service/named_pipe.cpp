#include "service/named_pipe.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "foundation/paths.h"

std::string LNamedPipeRef::MakeFilePath(std::string_view channelName) {
  return LFile::FilePathCat(LFile::GetSharedDataFolderApp(), ".spipe." + std::string(channelName));
}

LUniqueFd LNamedPipeRef::OpenPath(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return LUniqueFd();
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  // Non-blocking from the start: a local connect either completes at once or
  // fails with EAGAIN when the listener's backlog is full, so a wedged
  // service can never hold the caller here.
  LUniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return fd;
  if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return LUniqueFd();
  }
  return fd;
}
