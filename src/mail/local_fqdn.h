#pragma once
// The host name this server gives in HELO and EHLO.

#include <cstdint>
#include <string>
#include <vector>

struct LMailInterface {
  bool up = false;
  bool loopback = false;
  bool point_to_point = false;
  std::uint32_t address = 0;  // IPv4, host byte order
};

// 10.x, 172.x with the bit of value 16 set in the second byte, 192.168.x
// and 169.254.x.
bool LIsPrivateIPv4(std::uint32_t address);
// This machine's IPv4 interfaces.
std::vector<LMailInterface> LReadMailInterfaces();
// The address of the first interface that is up, neither loopback nor
// point-to-point and has a private address; 0 when there is none.
std::uint32_t LPickPrivateInterface(const std::vector<LMailInterface>& interfaces);

// The reverse name of that interface's address; failing that, the machine's
// own host name as the resolver knows it (its canonical name); failing
// that, "localhost".
void LIPGetLocalFQDN(std::string& out);
