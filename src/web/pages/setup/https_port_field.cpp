#include "web/pages/setup/https_port_field.h"

#include <string>

#include "engine/https_settings.h"
#include "foundation/settings_sections.h"
#include "routing/routing_settings.h"
#include "web/http/https_redirect.h"
#include "web/http/machine_address.h"

int KXHttpsPortIn(std::string_view text, int localPort) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text == "0") return 0;
  const int port = LNetRoutingPortIn(text);
  return port == 0 || port == localPort ? -1 : port;
}

bool KXStoreHttpsPort(int port) {
  if (port == LReadHttpsPortSetting()) return false;
  (void)LSettingSetInt(kLRoutingSection, kLRoutingHttpsPort, port);
  return true;
}

std::string KXHttpsMainPageAddress(std::string_view hostHeader, int port) {
  std::string host = LHttpsRedirectHost(hostHeader);
  if (host.empty()) host = LMachineIPv4Text();
  return "https://" + host + (port == 443 ? std::string() : ":" + std::to_string(port)) + "/mainpage";
}
