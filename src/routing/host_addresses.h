#pragma once
// This computer's own names and interface addresses, as the routing
// settings show them.

#include <cstdint>
#include <string>
#include <vector>

// IPv4 addresses (host byte order) of the interfaces that are up and neither
// loopback nor point-to-point, in the order the system lists them.
std::vector<std::uint32_t> LRoutingInterfaceAddresses();

// The first address in a private range; 0 when there is none.
std::uint32_t LFirstPrivateAddress(const std::vector<std::uint32_t>& addresses);
// The first address outside the private ranges, 127 and 0; 0 when none.
std::uint32_t LFirstPublicAddress(const std::vector<std::uint32_t>& addresses);

// The host name (gethostname), empty when it cannot be read.
std::string LIPGetHostName();
// The host name's canonical name from the resolver; the host name itself when
// the resolver knows no better.
std::string LIPGetLocalFQDN();
