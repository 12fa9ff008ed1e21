#pragma once
// A loopback port that was free a moment ago, for the benchmarks that start a
// web server of their own. 0 when none could be had.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>

#include "foundation/unique_fd.h"

inline std::uint16_t BenchFreeLoopbackPort() {
  LUniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0) return 0;
  if (::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}
