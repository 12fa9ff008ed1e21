#include "web/pages/account/station_installer.h"

#include <sys/stat.h>

#include "foundation/paths.h"
#include "web/text/html_encoder.h"

namespace {

std::string WebRoot() { return LFile::GetSharedDataFolderAppSubFolder("webcontrol"); }

}  // namespace

std::string KXStationInstallerPath() { return WebRoot() + "/" + kKXStationInstaller; }

bool KXStationInstallerPresent() {
  struct stat info {};
  return stat(KXStationInstallerPath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string KXStationInstallerMissingHtml() {
  return std::string("The KavrixStation installer is not on this server yet: put ") + kKXStationInstaller +
         " into the folder " + LHTMLEncode(WebRoot()) + " to offer it for download.";
}
