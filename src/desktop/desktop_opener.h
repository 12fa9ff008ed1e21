#pragma once
// Opens a page or a folder in the desktop's own program. The address is one
// argument of a program started without a shell, so no character in it can
// start a command: xdg-open, which current desktops provide; only where it
// is missing, kfmclient exec (KDE sessions) or gnome-open.

#include <string>

// The program found on PATH, or empty.
std::string LDesktopFindProgram(const std::string& name);
// True when an opener was started.
[[nodiscard]] bool LDesktopOpen(const std::string& address);
