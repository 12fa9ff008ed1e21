#pragma once
// The addresses under which staff reach the web control panel, as the
// logon-details block of the notification e-mails shows them, read through
// the routing settings in one go.

#include <string>

struct LKXPanelAddresses {
  std::string private_address;  // on the local network
  int local_port = 89;          // "Routing"/"LocalPort"
  std::string public_address;   // over the Internet
  int public_port = 89;         // "Routing"/"PublicPort"
};

// All four, read from the "Routing" settings.
LKXPanelAddresses KXReadPanelAddresses();
