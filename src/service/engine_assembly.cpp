#include "service/engine_assembly.h"

#include "foundation/paths.h"
#include "maintenance/maintenance_thread.h"
#include "station/server_connection.h"
#include "station/station_pages.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/panel/access_rules.h"
#include "web/panel/page_frame_install.h"

std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler) {
  // The web layer cannot name the station layer (it comes first in the
  // library order), so the "connect" page gets its protocol from here.
  WLSetStationProtocolHandler(LKXServerConnectionRun);
  // The access checks of the web core write their refusals in the panel's
  // own frame from the first request on.
  WLInstallPageFrame();
  return std::make_unique<MainEngine>(
      notifyHandler, std::make_unique<LKXWebServer>(LFile::GetSharedDataFolderAppSubFolder("Web"),
                                                WebScriptArray(), WLCheckAccess),
      std::make_unique<LKXMaintenanceThread>());
}
