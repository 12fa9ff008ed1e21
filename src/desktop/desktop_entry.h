#pragma once
// The program's desktop entry: the desktop shortcut, and the start at logon
// through the freedesktop autostart folder of the user ($HOME/.config/
// autostart, which current desktops read; KDE 3's .kde/Autostart when that
// exists).

#include <string>

inline constexpr char kLDesktopEntryName[] = "kavrixserver.desktop";

// The entry's text, starting the program at `programPath`.
std::string LDesktopEntryText(const std::string& programPath);
// $HOME/Desktop/kavrixserver.desktop.
std::string LDesktopShortcutPath();
std::string LDesktopAutostartPath();
[[nodiscard]] bool LDesktopCreateShortcut();
// Writes or removes the autostart entry and stores "Settings"/"AutoRun".
[[nodiscard]] bool LDesktopSetAutoRun(bool on);
bool LDesktopAutoRunRegistered();
