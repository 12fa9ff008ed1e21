#include "maintenance/panel_addresses.h"

#include "engine/port_settings.h"
#include "routing/routing_settings.h"

LKXPanelAddresses KXReadPanelAddresses() {
  LKXPanelAddresses out;
  LNetRoutingGetPrivateAddress(LNetRoutingGetMode(kLRoutingLocalAddressMode), out.private_address);
  out.local_port = LReadLocalPortSetting();
  LNetRoutingGetPublicAddress(out.public_address);
  out.public_port = LNetRoutingGetPublicPort();
  return out;
}
