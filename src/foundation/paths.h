#pragma once
// The fixed folders of the system. "/opt/mardel" is the installation root;
// the environment variable KAVRIX_ROOT replaces it so that tests, the quick
// start and containers keep their data in a folder of their own.

#include <string>
#include <string_view>

#include "foundation/file_modes.h"

class LFile {
 public:
  // "/opt/mardel", or the value of KAVRIX_ROOT when it is set and not empty.
  static std::string GetInstallRoot();

  // Joins two path parts with "/" unless the left part is empty or already
  // ends in "/" or "\\". The result is cut to 259 bytes.
  static std::string FilePathCat(std::string_view left, std::string_view right);

  // <root>/kavrixserver/etc. The two outer folders are created on the way;
  // "etc" itself is created by the caller (see LSettingsGetSharedFolder).
  static std::string GetSharedDataFolderApp();
  // Shared data folder + "/" + name, created (with the shared data folder)
  // with `mode` (file_modes.h) when missing.
  static std::string GetSharedDataFolderAppSubFolder(std::string_view name, mode_t mode = kLDataFolderMode);

  // $HOME/.mardel/kavrixserver ("/opt" stands in for an unset HOME); the
  // folders are created on the way.
  static std::string GetUserDataFolderApp();
  static std::string GetUserDataFolderAppSubFolder(std::string_view name);

  // <root>/kavrixserver/share/help, where the help pages are served from.
  static std::string GetHelpFolder();

  // mkdir with `mode` whatever the umask (file_modes.h); an existing folder
  // is fine and keeps its mode.
  static bool CreateFolder(const std::string& path, mode_t mode = kLDataFolderMode);
};
