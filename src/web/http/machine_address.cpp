#include "web/http/machine_address.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <memory>

namespace {

std::string DottedText(const std::uint8_t a[4]) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

}  // namespace

LIPv4Class LClassifyIPv4(const std::uint8_t a[4]) {
  if (a[0] == 127 || a[0] == 0) return LIPv4Class::kNeither;
  if (a[0] == 10 || (a[0] == 192 && a[1] == 168) || (a[0] == 169 && a[1] == 254) ||
      (a[0] == 172 && (a[1] & 16) != 0)) {
    return LIPv4Class::kPrivate;
  }
  return LIPv4Class::kPublic;
}

std::string LPickMachineIPv4(const std::vector<LInterfaceAddress>& interfaces) {
  const LInterfaceAddress* privateOne = nullptr;
  for (const LInterfaceAddress& entry : interfaces) {
    if (!entry.up || entry.loopback || entry.pointToPoint) continue;
    const LIPv4Class kind = LClassifyIPv4(entry.address);
    if (kind == LIPv4Class::kPublic) return DottedText(entry.address);
    if (kind == LIPv4Class::kPrivate && privateOne == nullptr) privateOne = &entry;
  }
  static constexpr std::uint8_t kNone[4] = {0, 0, 0, 0};
  return DottedText(privateOne != nullptr ? privateOne->address : kNone);
}

std::string LMachineIPv4Text() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return LPickMachineIPv4({});
  const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, &freeifaddrs);
  std::vector<LInterfaceAddress> interfaces;
  for (const ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    LInterfaceAddress entry;
    entry.up = (it->ifa_flags & IFF_UP) != 0;
    entry.loopback = (it->ifa_flags & IFF_LOOPBACK) != 0;
    entry.pointToPoint = (it->ifa_flags & IFF_POINTOPOINT) != 0;
    sockaddr_in address;
    std::memcpy(&address, it->ifa_addr, sizeof address);
    std::memcpy(entry.address, &address.sin_addr.s_addr, 4);  // network order: first byte first
    interfaces.push_back(entry);
  }
  return LPickMachineIPv4(interfaces);
}

std::string LIPv4PortText(const std::uint8_t address[4], int port) {
  return DottedText(address) + ":" + std::to_string(port);
}
