#pragma once
// Start at desktop log-on for every user account of the machine, written by
// the installation (run as root) into each user's home folder: KDE 3's
// .kde/Autostart when the user has it, else the GNOME 2 session file
// .gnome2/session-manual when the user has a .gnome2 folder, else the
// freedesktop folder .config/autostart.
//
// The homes belong to other users, who may have planted symbolic or hard
// links there to make root write or read elsewhere. Every step below the
// home folder is opened relative to its parent without following links,
// files are replaced by rename (which never writes through a link), a
// session file is read only when it is a plain file of that user, and what
// is created is handed to that user.

#include <sys/types.h>

#include <string>
#include <vector>

inline constexpr char kLAutostartProgram[] = "kavrixserver";
inline constexpr char kLGnomeSessionFile[] = ".gnome2/session-manual";

struct LDesktopUserAccount {
  std::string name;
  uid_t uid = 0;
  gid_t gid = 0;
  std::string home;
};

// Every account of `passwdFile` (the system's account database through
// getpwent when empty) except "root" and "nobody".
std::vector<LDesktopUserAccount> LDesktopListUserAccounts(const std::string& passwdFile = {});

// Registers (`on`) or removes the start at log-on in one user's home. An
// account whose home folder is missing or not owned by it (system accounts
// living in /bin, /usr/sbin, /var/www) is left alone and counts as done.
[[nodiscard]] bool LDesktopSetUserAutostart(const LDesktopUserAccount& account, bool on);

// The same for every account, then "Settings"/"AutoRun" = "1" or "0"; false
// when any home could not be changed (the others are still done).
[[nodiscard]] bool LDesktopSetAutoRunForAllUsers(bool on, const std::string& passwdFile = {});

// The GNOME 2 session file's text with the program added as one more client
// of section "Default", or with every client running it taken out and the
// later clients renumbered. Other sections and keys are kept as they were.
std::string LGnomeSessionWithProgram(const std::string& text, bool on);
