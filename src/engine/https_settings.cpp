#include "engine/https_settings.h"

#include <charconv>

#include "foundation/paths.h"
#include "foundation/settings_sections.h"

namespace {

constexpr std::string_view kRouting = "Routing";

std::string InSettingsFolder(std::string_view key, std::string_view defaultName) {
  std::string name = LSettingGetString(kRouting, key);
  if (name.empty()) name = defaultName;
  if (name.front() == '/') return name;
  return LFile::FilePathCat(LSettingsGetSharedFolder(), name);
}

}  // namespace

std::uint16_t LReadHttpsPortSetting() {
  const std::string text = LSettingGetString(kRouting, kLRoutingHttpsPort);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port > 65535) return 0;
  return static_cast<std::uint16_t>(port);
}

std::string LHttpsCertificatePath() {
  return InSettingsFolder(kLRoutingHttpsCertificateFile, kLDefaultHttpsCertificateFile);
}

std::string LHttpsKeyPath() { return InSettingsFolder(kLRoutingHttpsKeyFile, kLDefaultHttpsKeyFile); }
