#pragma once
// The addresses under which staff reach the web control panel, as the
// logon-details block of the notification e-mails shows them. They are read
// here straight from the "Routing" settings, so that the mails work without
// the network-routing functions of the service; KXMailPrivateAddress and
// KXMailPublicAddress stand where LNetRoutingGetPrivateAddress and
// LNetRoutingGetPublicAddress go once those exist, and give the same texts.

#include <string>

struct LKXPanelAddresses {
  std::string private_address;  // on the local network
  int local_port = 89;          // "Routing"/"LocalPort"
  std::string public_address;   // over the Internet
  int public_port = 89;         // "Routing"/"PublicPort"
};

// By "LocalAddressMode": 2 the host name, 3 the host's FQDN, 4 the public
// address, otherwise the first private IPv4 address of an interface that is
// up and neither loopback nor point-to-point ("0.0.0.0" when none).
std::string KXMailPrivateAddress(int mode);
// "DomainName" when "PublicAddressMode" is 2, else "StaticIPAddress"; when
// that is empty, this computer's first public IPv4 address, else its first
// private one.
std::string KXMailPublicAddress();

// All four, read from the "Routing" settings.
LKXPanelAddresses KXReadPanelAddresses();
