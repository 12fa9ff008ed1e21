#include "routing/host_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <memory>

#include "foundation/text_limits.h"
#include "routing/ip_ranges.h"

std::vector<std::uint32_t> LRoutingInterfaceAddresses() {
  std::vector<std::uint32_t> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return addresses;
  const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, &freeifaddrs);
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    const unsigned flags = entry->ifa_flags;
    if ((flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || (flags & IFF_POINTOPOINT) != 0)
      continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    addresses.push_back(ntohl(in->sin_addr.s_addr));
  }
  return addresses;
}

std::uint32_t LFirstPrivateAddress(const std::vector<std::uint32_t>& addresses) {
  for (const std::uint32_t address : addresses)
    if (LIsIPv4InPrivateRange(address)) return address;
  return 0;
}

std::uint32_t LFirstPublicAddress(const std::vector<std::uint32_t>& addresses) {
  for (const std::uint32_t address : addresses)
    if (LIsIPv4Public(address)) return address;
  return 0;
}

std::string LIPGetHostName() {
  char name[kLMaxText + 1] = {};
  if (gethostname(name, kLMaxText) != 0) return {};
  return name;
}

namespace {

bool ReverseName(std::uint32_t address, std::string& out) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_addr.s_addr = htonl(address);
  char name[NI_MAXHOST];
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&in), sizeof in, name, sizeof name, nullptr, 0,
                  NI_NAMEREQD) != 0)
    return false;
  out = LCutText(name);
  return true;
}

}  // namespace

std::string LIPGetLocalFQDN() {
  // The name the office network knows this computer by comes first: mail
  // relays check HELO names against the reverse lookup of the sender.
  std::string name;
  const std::uint32_t address = LFirstPrivateAddress(LRoutingInterfaceAddresses());
  if (address != 0 && ReverseName(address, name)) return name;
  const std::string host = LIPGetHostName();
  if (host.empty()) return "localhost";
  // A name with a dot is already qualified: no resolver is asked.
  if (host.find('.') != std::string::npos) return host;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return "localhost";
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
  if (found->ai_canonname == nullptr || found->ai_canonname[0] == '\0') return host;
  return LCutText(found->ai_canonname);
}
