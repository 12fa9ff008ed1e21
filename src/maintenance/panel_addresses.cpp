#include "maintenance/panel_addresses.h"

#include <unistd.h>

#include <cstdio>

#include "engine/port_settings.h"
#include "foundation/settings_sections.h"
#include "mail/local_fqdn.h"

namespace {

constexpr char kRouting[] = "Routing";
constexpr int kDefaultPort = 89;

std::string DottedText(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xff, (address >> 8) & 0xff,
                address & 0xff);
  return text;
}

bool IsPublic(std::uint32_t address) {
  const unsigned first = address >> 24;
  return !LIsPrivateIPv4(address) && first != 127 && first != 0;
}

// The first address of an interface that is up and neither loopback nor
// point-to-point for which `wanted` holds; 0 when none.
template <class Predicate>
std::uint32_t FirstInterface(const std::vector<LMailInterface>& interfaces, Predicate wanted) {
  for (const LMailInterface& item : interfaces) {
    if (item.up && !item.loopback && !item.point_to_point && wanted(item.address)) return item.address;
  }
  return 0;
}

}  // namespace

std::string KXMailPrivateAddress(int mode) {
  std::string out;
  switch (mode) {
    case 2: {
      char name[256] = {};
      if (gethostname(name, sizeof name - 1) == 0) out = name;
      return out;
    }
    case 3:
      LIPGetLocalFQDN(out);
      return out;
    case 4:
      return KXMailPublicAddress();
    default:
      return DottedText(LPickPrivateInterface(LReadMailInterfaces()));
  }
}

std::string KXMailPublicAddress() {
  const bool by_name = LSettingGetInt(kRouting, "PublicAddressMode", 0) == 2;
  std::string out = LSettingGetString(kRouting, by_name ? "DomainName" : "StaticIPAddress");
  if (!out.empty()) return out;
  const std::vector<LMailInterface> interfaces = LReadMailInterfaces();
  std::uint32_t address = FirstInterface(interfaces, IsPublic);
  if (address == 0) address = FirstInterface(interfaces, LIsPrivateIPv4);
  return DottedText(address);
}

LKXPanelAddresses KXReadPanelAddresses() {
  LKXPanelAddresses out;
  out.private_address = KXMailPrivateAddress(LSettingGetInt(kRouting, "LocalAddressMode", 0));
  out.local_port = LReadLocalPortSetting();
  out.public_address = KXMailPublicAddress();
  out.public_port = LSettingGetInt(kRouting, "PublicPort", kDefaultPort);
  return out;
}
