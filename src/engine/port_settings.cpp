#include "engine/port_settings.h"

#include <cstdlib>
#include <string>

#include "foundation/settings_sections.h"

std::uint16_t LReadLocalPortSetting() {
  const std::string text = LSettingGetString("Routing", "LocalPort");
  if (text.empty()) return kLDefaultLocalPort;
  return static_cast<std::uint16_t>(std::strtol(text.c_str(), nullptr, 10));
}
