#include "desktop/control_panel_address.h"

#include "engine/port_settings.h"
#include "foundation/settings_sections.h"

std::string LControlPanelAddress() {
  const int port = LSettingGetInt("Routing", "LocalPort", 0);
  return "http://localhost:" + std::to_string(port != 0 ? port : kLDefaultLocalPort);
}
