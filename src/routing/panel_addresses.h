#pragma once
// The addresses under which staff reach the web control panel: the links
// of the notification e-mails (their logon-details block) and of the setup
// wizard's finish page, read through the routing settings in one go.

#include <string>
#include <string_view>

struct LKXPanelAddresses {
  std::string private_address;  // on the local network
  int local_port = 89;          // "Routing"/"LocalPort"
  std::string public_address;   // over the Internet
  int public_port = 89;         // "Routing"/"PublicPort", else "LocalPort"
};

// True for an address nobody else can open a link to: empty, 0.x.x.x,
// 127.x.x.x or "localhost".
bool KXPanelAddressUnreachable(std::string_view address);

// `stored` with each unreachable address replaced by `host_name`.
LKXPanelAddresses KXReachablePanelAddresses(LKXPanelAddresses stored, const std::string& host_name);

// All four, read from the "Routing" settings; an address that cannot be
// reached becomes this computer's name (LIPGetLocalFQDN), so that no mail
// links to 0.0.0.0.
LKXPanelAddresses KXReadPanelAddresses();
