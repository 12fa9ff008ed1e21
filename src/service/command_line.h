#pragma once
// Which role the program plays, from its first argument and whether a
// display is available (DISPLAY set and not empty).

enum class LProgramRole {
  kService,           // the daemon: -service, or no argument without a display
  kForeground,        // -foreground: the service role without fork or root
  kConsoleInstall,    // -install
  kConsoleUninstall,  // -uninstall
  kDesktop,           // the desktop role: a display, and no or another argument
  kUsage,             // an unknown argument without a display
};

LProgramRole LChooseProgramRole(int argc, const char* const* argv, bool hasDisplay);

// The line printed for kUsage.
inline constexpr char kLProgramUsage[] =
    "Usage: kavrixserver [-service | -foreground | -install | -uninstall]";
