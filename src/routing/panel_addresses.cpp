#include "routing/panel_addresses.h"

#include <optional>
#include <utility>

#include "engine/port_settings.h"
#include "foundation/settings_parse.h"
#include "routing/host_addresses.h"
#include "routing/ip_ranges.h"
#include "routing/routing_settings.h"

bool KXPanelAddressUnreachable(std::string_view address) {
  if (address.empty() || LSettingsEqualNoCase(address, "localhost")) return true;
  const std::optional<std::uint32_t> ip = LParseDottedIPv4(address);
  if (!ip) return false;
  const std::uint32_t first = *ip >> 24;
  return first == 0 || first == 127;
}

LKXPanelAddresses KXReachablePanelAddresses(LKXPanelAddresses stored, const std::string& host_name) {
  if (KXPanelAddressUnreachable(stored.private_address)) stored.private_address = host_name;
  if (KXPanelAddressUnreachable(stored.public_address)) stored.public_address = host_name;
  return stored;
}

LKXPanelAddresses KXReadPanelAddresses() {
  LKXPanelAddresses out;
  LNetRoutingGetPrivateAddress(LNetRoutingGetMode(kLRoutingLocalAddressMode), out.private_address);
  out.local_port = LReadLocalPortSetting();
  LNetRoutingGetPublicAddress(out.public_address);
  out.public_port = LNetRoutingGetPublicPort();
  // The computer's name is looked up only when some address needs it.
  if (!KXPanelAddressUnreachable(out.private_address) && !KXPanelAddressUnreachable(out.public_address)) return out;
  return KXReachablePanelAddresses(std::move(out), LIPGetLocalFQDN());
}
