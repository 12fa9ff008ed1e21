#include "engine/ip_socket_tcp.h"

#include <arpa/inet.h>

#include <cstdio>

LIPv4Peer LIPv4Peer::FromSockaddr(const sockaddr_in& in) {
  return LIPv4Peer{ntohl(in.sin_addr.s_addr), ntohs(in.sin_port)};
}

std::string LIPv4Peer::ToText() const {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d:%d", static_cast<int>(address >> 24),
                static_cast<int>((address >> 16) & 0xFF), static_cast<int>((address >> 8) & 0xFF),
                static_cast<int>(address & 0xFF), static_cast<int>(port));
  return text;
}

sockaddr_in LMakeSockaddrIPv4(std::uint32_t address, std::uint16_t port) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_port = htons(port);
  in.sin_addr.s_addr = htonl(address);
  return in;
}
