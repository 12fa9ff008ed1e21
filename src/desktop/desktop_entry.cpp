#include "desktop/desktop_entry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "foundation/settings_sections.h"
#include "service/service_paths.h"

namespace {

std::string Home() {
  const char* home = getenv("HOME");
  return home != nullptr && home[0] != '\0' ? home : "/opt";
}

bool WriteEntry(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << LDesktopEntryText(LServiceProgramPath());
    if (!out.good()) return false;
  }
  // Desktops run a launcher on the desktop only when it is executable.
  return chmod(path.c_str(), 0755) == 0;
}

}  // namespace

std::string LDesktopEntryText(const std::string& programPath) {
  return "[Desktop Entry]\nType=Application\nName=KavrixServer\nComment=KavrixServer control window\nExec=\"" +
         programPath + "\"\nIcon=network-server\nTerminal=false\nCategories=Network;\n";
}

std::string LDesktopShortcutPath() { return Home() + "/Desktop/" + kLDesktopEntryName; }

std::string LDesktopAutostartPath() {
  const std::string kde = Home() + "/.kde/Autostart";
  if (std::filesystem::is_directory(kde)) return kde + "/" + kLDesktopEntryName;
  return Home() + "/.config/autostart/" + kLDesktopEntryName;
}

bool LDesktopCreateShortcut() { return WriteEntry(LDesktopShortcutPath()); }

bool LDesktopSetAutoRun(bool on) {
  const std::string path = LDesktopAutostartPath();
  bool ok;
  if (on) {
    ok = WriteEntry(path);
  } else {
    std::error_code error;
    std::filesystem::remove(path, error);
    ok = !error;
  }
  return LSettingSetString("Settings", "AutoRun", on && ok ? "1" : "0") && ok;
}

bool LDesktopAutoRunRegistered() { return std::filesystem::exists(LDesktopAutostartPath()); }
