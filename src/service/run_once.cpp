#include "service/run_once.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/socket_ops.h"
#include "service/named_pipe.h"

namespace {

constexpr int kSendMs = 2000;
constexpr int kListenBacklog = 5;

bool SendValue(int fd, int32_t value) {
  return ProcessSend(nullptr, fd, &value, sizeof(value), kSendMs) == kLProcessDone;
}

bool HandOver(int fd, int argc, const char* const* argv) {
  if (!SendValue(fd, argc)) return false;
  for (int i = 0; i < argc; ++i) {
    const int32_t length = static_cast<int32_t>(strlen(argv[i]));
    if (!SendValue(fd, length) ||
        ProcessSend(nullptr, fd, argv[i], static_cast<size_t>(length), kSendMs) != kLProcessDone) {
      return false;
    }
  }
  return true;
}

bool ReadValue(int fd, int32_t* value) {
  return ProcessRecvBytes(nullptr, fd, value, sizeof(*value), kLRunOnceReadMs) == kLProcessDone;
}

}  // namespace

std::string LRunOncePath() {
  const char* home = getenv("HOME");
  return std::string(home != nullptr ? home : "/opt") + "/" + kLRunOnceName;
}

LRunOnceServer::~LRunOnceServer() {
  if (!socket_) return;
  socket_.Reset();
  unlink(path_.c_str());
}

LRunOnceServer::Result LRunOnceServer::Acquire(const std::string& path, int argc, const char* const* argv) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return Result::kFailed;
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  LUniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return Result::kFailed;
  if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    LUniqueFd other = LNamedPipeRef::OpenPath(path);
    if (other) return HandOver(other.Get(), argc, argv) ? Result::kHandedOver : Result::kFailed;
    unlink(path.c_str());
    if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return Result::kFailed;
  }
  if (listen(fd.Get(), kListenBacklog) != 0) return Result::kFailed;
  path_ = path;
  socket_ = std::move(fd);
  return Result::kFirst;
}

bool LRunOnceServer::AcceptOne(std::vector<std::string>* arguments, bool* endWatch) {
  *endWatch = false;
  arguments->clear();
  LUniqueFd peer(accept4(socket_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
  if (!peer) return false;
  int32_t count = 0;
  if (!ReadValue(peer.Get(), &count)) return false;
  if (count < 0) {
    *endWatch = true;
    return false;
  }
  if (count > kLRunOnceMaxArguments) return false;
  for (int32_t i = 0; i < count; ++i) {
    int32_t length = 0;
    if (!ReadValue(peer.Get(), &length) || length < 0 || length > kLRunOnceMaxArgumentBytes) return false;
    std::string argument(static_cast<size_t>(length), '\0');
    if (ProcessRecvBytes(nullptr, peer.Get(), argument.data(), argument.size(), kLRunOnceReadMs) != kLProcessDone) {
      return false;
    }
    arguments->push_back(std::move(argument));
  }
  return true;
}
