#include "support/loopback.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Waits for readability; false after `limitMs` of silence.
bool WaitReadable(int fd, int limitMs) {
  pollfd entry{fd, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, limitMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace

std::uint16_t KavrixFreeLoopbackPort() {
  // Drawn below the kernel's ephemeral range (32768 and up): a port handed
  // out by bind(0) can be taken by any test's outgoing connection between
  // this probe and the server's own bind.
  static std::mt19937 draw(std::random_device{}());
  std::uniform_int_distribution<int> ports(20000, 32767);
  for (int attempt = 0; attempt < 200; ++attempt) {
    const auto port = static_cast<std::uint16_t>(ports(draw));
    LUniqueFd probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = Loopback(port);
    if (::bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return port;
  }
  return 0;
}

LUniqueFd KavrixConnectLoopback(std::uint16_t port) {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(port);
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    fd.Reset();
  }
  return fd;
}

LUniqueFd KavrixConnectLoopbackRetry(std::uint16_t port, int limitMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  for (;;) {
    LUniqueFd fd = KavrixConnectLoopback(port);
    if (fd || std::chrono::steady_clock::now() > end) return fd;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool KavrixSendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string KavrixRecvUntilClose(int fd, int limitMs) {
  std::string received;
  char buffer[4096];
  while (WaitReadable(fd, limitMs)) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    received.append(buffer, static_cast<std::size_t>(got));
  }
  return received;
}

std::string KavrixRecvExact(int fd, std::size_t length, int limitMs) {
  std::string received;
  char buffer[4096];
  while (received.size() < length && WaitReadable(fd, limitMs)) {
    const std::size_t want = std::min(sizeof buffer, length - received.size());
    const ssize_t got = ::recv(fd, buffer, want, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    received.append(buffer, static_cast<std::size_t>(got));
  }
  return received;
}

std::string KavrixRecvHttpHead(int fd, int limitMs) {
  std::string header;
  while (!header.ends_with("\r\n\r\n")) {
    const std::string byte = KavrixRecvExact(fd, 1, limitMs);
    if (byte.empty()) break;
    header += byte;
  }
  return header;
}

std::string KavrixRecvHttpResponse(int fd, int limitMs) {
  const std::string header = KavrixRecvHttpHead(fd, limitMs);
  if (!header.ends_with("\r\n\r\n")) return header;
  const std::size_t field = header.find("\r\nContent-Length: ");
  if (field == std::string::npos) return header;
  const long length = std::strtol(header.c_str() + field + 18, nullptr, 10);
  return header + KavrixRecvExact(fd, static_cast<std::size_t>(length), limitMs);
}

bool KavrixPeerClosed(int fd, int limitMs) {
  char buffer[4096];
  while (WaitReadable(fd, limitMs)) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0 || (got < 0 && errno == ECONNRESET)) return true;
    if (got < 0) return false;
  }
  return false;
}

int KavrixCountOpenFds() {
  int count = 0;
  DIR* folder = ::opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  while (const dirent* entry = ::readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(folder);
  return count - 1;  // the folder's own descriptor
}
