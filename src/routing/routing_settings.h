#pragma once
// The "Routing" settings: under which addresses the web control panel and
// the stations reach this server, from the local network and from the
// Internet. Pages, mail texts and the control window read them through here.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kLRoutingSection = "Routing";
inline constexpr std::string_view kLRoutingLocalPort = "LocalPort";
inline constexpr std::string_view kLRoutingPublicPort = "PublicPort";
inline constexpr std::string_view kLRoutingLocalAddressMode = "LocalAddressMode";
inline constexpr std::string_view kLRoutingPublicAddressMode = "PublicAddressMode";
inline constexpr std::string_view kLRoutingStaticIPAddress = "StaticIPAddress";
inline constexpr std::string_view kLRoutingDomainName = "DomainName";
inline constexpr std::string_view kLRoutingWizardRun = "WizardRun";
inline constexpr std::string_view kLRoutingWizardRunLater = "WizardRunLater";
inline constexpr std::string_view kLRoutingWizardRunDate = "WizardRunDate";
inline constexpr std::string_view kLRoutingTryUPnP = "TryuPNP";

inline constexpr int kLMaxRoutingPort = 65535;

// The refusals of the routing settings, the same on the panel's page and in
// the control window.
inline constexpr char kLRoutingHostInvalid[] = "The hostname is invalid. Please try again.";
inline constexpr char kLRoutingAddressInvalid[] = "The IP address is invalid. Please try again.";
inline constexpr char kLRoutingLocalPortInvalid[] =
    "The local server port is invalid. Please try again.";
inline constexpr char kLRoutingPublicPortInvalid[] =
    "The public server port is invalid. Please try again.";

// How the private address is shown.
enum LLocalAddressMode : int {
  kLLocalAutomatic = 0,
  kLLocalStaticIP = 1,
  kLLocalHostName = 2,
  kLLocalFQDN = 3,
  kLLocalUsePublic = 4,
};
inline constexpr int kLLocalAddressModes = 5;

// Where the public address comes from.
enum LPublicAddressMode : int {
  kLPublicStaticNotSure = 0,
  kLPublicStaticConfirmed = 1,
  kLPublicDomainName = 2,
  kLPublicDontCare = 3,
};
inline constexpr int kLPublicAddressModes = 4;

// "Automatic [%s]" ... "Use public IP [%s]" with the address the mode gives.
std::string LLocalAddressModeDescription(int mode);
// "Static IP (not sure)" ... "Don't Care"; empty for an unknown mode.
std::string_view LPublicAddressModeDescription(int mode);

// The address the local network uses for mode `mode`: 2 the host name, 3 the
// host's FQDN, 4 the public address, otherwise the first private interface
// address ("0.0.0.0" when none).
void LNetRoutingGetPrivateAddress(int mode, std::string& out);

// "DomainName" when "PublicAddressMode" is 2, else "StaticIPAddress"; when
// that is empty, this computer's first public interface address, else its
// first private one.
void LNetRoutingGetPublicAddress(std::string& out);
// This computer's first public interface address, else its first private
// one ("0.0.0.0" when none): the public address when none is stored.
std::string LNetRoutingInterfacePublicAddress();
// The stored text for `mode`: "DomainName" for 2, "StaticIPAddress" for 0
// and 1, empty for any other mode.
void LNetRoutingGetPublicAddress(int mode, std::string& out);
// Stores `text` where mode `mode` keeps it; mode 3 writes nothing.
bool LNetRoutingSetPublicAddress(int mode, std::string_view text);

// "PublicPort"; "LocalPort" when missing or empty.
int LNetRoutingGetPublicPort();
// A port typed by the user: decimal digits only, 1 to 65535; 0 otherwise.
int LNetRoutingPortIn(std::string_view text);
// A mode setting as a number, 0 when missing or empty.
int LNetRoutingGetMode(std::string_view key);

// "http://%s" for port 80, else "http://%s:%d".
std::string LNetRoutingExampleURL(std::string_view host, int port);
