#pragma once
// An IPv4 TCP socket owned by one object: the descriptor is closed when the
// object goes, and handing it on (Release, or a move) leaves -1 behind.

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <utility>

#include "foundation/unique_fd.h"

class LIPSocketTCP {
 public:
  LIPSocketTCP() = default;
  explicit LIPSocketTCP(int fd) : fd_(fd) {}
  LIPSocketTCP(LIPSocketTCP&&) noexcept = default;
  LIPSocketTCP& operator=(LIPSocketTCP&&) noexcept = default;

  int Get() const { return fd_.Get(); }
  bool IsValid() const { return fd_.IsValid(); }
  int Release() { return fd_.Release(); }
  void Reset(int fd = -1) { fd_.Reset(fd); }
  void Close() { fd_.Reset(); }

 private:
  LUniqueFd fd_;
};

// The IPv4 address and port of a peer in host byte order.
struct LIPv4Peer {
  std::uint32_t address = 0;
  std::uint16_t port = 0;

  static LIPv4Peer FromSockaddr(const sockaddr_in& in);
  // "%d.%d.%d.%d:%d", the form the pages and the station sessions show.
  std::string ToText() const;
};

// A sockaddr_in for `address`:`port`, both in host byte order.
sockaddr_in LMakeSockaddrIPv4(std::uint32_t address, std::uint16_t port);
