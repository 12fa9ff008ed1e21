#pragma once
// This machine's IPv4 address, which stands in for a missing Host header so
// that pages can still build absolute links back to the server.

#include <cstdint>
#include <string>
#include <vector>

enum class LIPv4Class { kNeither, kPrivate, kPublic };

// Private: 10.x, 192.168.x, 169.254.x, and 172.x whose second byte has the
// bit of value 16 set. 127.x and 0.x are neither; everything else is public.
LIPv4Class LClassifyIPv4(const std::uint8_t address[4]);

struct LInterfaceAddress {
  bool up = false;
  bool loopback = false;
  bool pointToPoint = false;
  std::uint8_t address[4] = {0, 0, 0, 0};
};

// From interfaces that are up and neither loopback nor point-to-point: the
// first public address, else the first private one, else "0.0.0.0"; as
// "%d.%d.%d.%d".
std::string LPickMachineIPv4(const std::vector<LInterfaceAddress>& interfaces);

// LPickMachineIPv4 over the IPv4 addresses of this machine's interfaces.
std::string LMachineIPv4Text();

// "%d.%d.%d.%d:%d", the remote address text of a request.
std::string LIPv4PortText(const std::uint8_t address[4], int port);
