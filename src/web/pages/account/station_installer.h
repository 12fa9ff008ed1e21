#pragma once
// The KavrixStation installer that the pages offer for download. It is not
// part of this program: an office puts the file into the web root itself,
// and until then no page links to a file the server would answer 404 for.

#include <string>

inline constexpr char kKXStationInstaller[] = "kxtasetup.exe";

// Where the server serves the installer from (the web root).
std::string KXStationInstallerPath();
// Whether a regular file is there.
bool KXStationInstallerPresent();
// For an administrator while the file is missing: where to put it, as
// HTML (the folder escaped).
std::string KXStationInstallerMissingHtml();
