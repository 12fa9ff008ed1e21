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
// The name of this computer in HELO/EHLO and in the routing settings: the
// reverse name of the first private interface address; failing that, the
// host name's canonical name from the resolver; failing that, "localhost".
std::string LIPGetLocalFQDN();
