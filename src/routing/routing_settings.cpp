#include "routing/routing_settings.h"

#include <cstdio>
#include <cstdlib>

#include "engine/port_settings.h"
#include "foundation/settings_sections.h"
#include "foundation/text_limits.h"
#include "routing/host_addresses.h"
#include "routing/ip_ranges.h"

namespace {

constexpr const char* kLocalModeFormats[kLLocalAddressModes] = {
    "Automatic [%s]", "Static IP [%s]", "Computer Host [%s]", "Host FQDN [%s]",
    "Use public IP [%s]"};

constexpr std::string_view kPublicModeTexts[kLPublicAddressModes] = {
    "Static IP (not sure)", "Static IP (confirmed)", "Use Domain Name", "Don't Care"};

std::string_view StoredKeyFor(int mode) {
  if (mode == kLPublicDomainName) return kLRoutingDomainName;
  if (mode == kLPublicStaticNotSure || mode == kLPublicStaticConfirmed)
    return kLRoutingStaticIPAddress;
  return {};
}

}  // namespace

std::string LLocalAddressModeDescription(int mode) {
  if (mode < 0 || mode >= kLLocalAddressModes) return {};
  std::string address;
  LNetRoutingGetPrivateAddress(mode, address);
  char text[kLMaxText + 1];
  std::snprintf(text, sizeof text, kLocalModeFormats[mode], address.c_str());
  return text;
}

std::string_view LPublicAddressModeDescription(int mode) {
  if (mode < 0 || mode >= kLPublicAddressModes) return {};
  return kPublicModeTexts[mode];
}

void LNetRoutingGetPrivateAddress(int mode, std::string& out) {
  switch (mode) {
    case kLLocalHostName:
      out = LIPGetHostName();
      return;
    case kLLocalFQDN:
      out = LIPGetLocalFQDN();
      return;
    case kLLocalUsePublic:
      LNetRoutingGetPublicAddress(out);
      return;
    default:
      out = LIPv4Text(LFirstPrivateAddress(LRoutingInterfaceAddresses()));
      return;
  }
}

void LNetRoutingGetPublicAddress(std::string& out) {
  LNetRoutingGetPublicAddress(LNetRoutingGetMode(kLRoutingPublicAddressMode) == kLPublicDomainName
                                  ? kLPublicDomainName
                                  : kLPublicStaticNotSure,
                              out);
  if (out.empty()) out = LNetRoutingInterfacePublicAddress();
}

std::string LNetRoutingInterfacePublicAddress() {
  const std::vector<std::uint32_t> addresses = LRoutingInterfaceAddresses();
  std::uint32_t address = LFirstPublicAddress(addresses);
  if (address == 0) address = LFirstPrivateAddress(addresses);
  return LIPv4Text(address);
}

void LNetRoutingGetPublicAddress(int mode, std::string& out) {
  out.clear();
  const std::string_view key = StoredKeyFor(mode);
  if (!key.empty()) out = LCutText(LSettingGetString(kLRoutingSection, key));
}

bool LNetRoutingSetPublicAddress(int mode, std::string_view text) {
  const std::string_view key = StoredKeyFor(mode);
  if (key.empty()) return true;
  return LSettingSetString(kLRoutingSection, key, LCutText(text));
}

int LNetRoutingGetPublicPort() {
  const std::string text = LSettingGetString(kLRoutingSection, kLRoutingPublicPort);
  // Never set: the router is taken to forward the same port.
  if (text.empty()) return LReadLocalPortSetting();
  return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

int LNetRoutingPortIn(std::string_view text) {
  // More digits than the largest port has would overflow before the range check.
  if (text.empty() || text.size() > 5) return 0;
  int port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= kLMaxRoutingPort ? port : 0;
}

int LNetRoutingGetMode(std::string_view key) {
  const std::string text = LSettingGetString(kLRoutingSection, key);
  return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

std::string LNetRoutingExampleURL(std::string_view host, int port) {
  std::string url = "http://";
  url.append(host);
  if (port != 80) url += ":" + std::to_string(port);
  return url;
}
