#pragma once
// A listening TCP socket on 127.0.0.1 that nobody accepts from: a peer that
// never says a word, a port held so that nothing else can bind it, or (with
// a backlog of 0 and its queue filled) one whose further connects hang.

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>

#include "engine/ip_socket_tcp.h"
#include "foundation/unique_fd.h"

// Listens on `port` with `backlog`; invalid when the port cannot be taken.
inline LUniqueFd KavrixListenLoopback(std::uint16_t port, int backlog = 4) {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.Get(), backlog) != 0) {
    fd.Reset();
  }
  return fd;
}

// The local port of socket `fd` (0 when it has none).
inline std::uint16_t KavrixLocalPort(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  return ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0 ? ntohs(address.sin_port) : 0;
}
