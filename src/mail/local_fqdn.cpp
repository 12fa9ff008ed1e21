#include "mail/local_fqdn.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::vector<LMailInterface> LReadMailInterfaces() {
  std::vector<LMailInterface> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    LMailInterface item;
    item.up = (entry->ifa_flags & IFF_UP) != 0;
    item.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
    item.point_to_point = (entry->ifa_flags & IFF_POINTOPOINT) != 0;
    item.address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
    out.push_back(item);
  }
  freeifaddrs(list);
  return out;
}

namespace {

bool ReverseName(std::uint32_t address, std::string& out) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_addr.s_addr = htonl(address);
  char name[NI_MAXHOST];
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&in), sizeof in, name, sizeof name, nullptr, 0,
                  NI_NAMEREQD) != 0) {
    return false;
  }
  out = name;
  return true;
}

bool OwnHostName(std::string& out) {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr) return false;
  out = found->ai_canonname != nullptr ? found->ai_canonname : name;
  freeaddrinfo(found);
  return true;
}

}  // namespace

bool LIsPrivateIPv4(std::uint32_t address) {
  const unsigned first = address >> 24;
  const unsigned second = (address >> 16) & 0xff;
  return first == 10 || (first == 172 && (second & 16) != 0) || (first == 192 && second == 168) ||
         (first == 169 && second == 254);
}

std::uint32_t LPickPrivateInterface(const std::vector<LMailInterface>& interfaces) {
  for (const LMailInterface& item : interfaces) {
    if (item.up && !item.loopback && !item.point_to_point && LIsPrivateIPv4(item.address)) {
      return item.address;
    }
  }
  return 0;
}

void LIPGetLocalFQDN(std::string& out) {
  const std::uint32_t address = LPickPrivateInterface(LReadMailInterfaces());
  if (address != 0 && ReverseName(address, out)) return;
  if (OwnHostName(out)) return;
  out = "localhost";
}
