#include "service/engine_assembly.h"

#include "foundation/paths.h"
#include "maintenance/maintenance_thread.h"
#include "station/server_connection.h"
#include "web/kx_web_server.h"
#include "web/station_pages.h"
#include "web/pages/web_script_array.h"

std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler) {
  // The web layer cannot name the station layer (it comes first in the
  // library order), so the "connect" page gets its protocol from here.
  WLSetStationProtocolHandler(LKXServerConnectionRun);
  return std::make_unique<MainEngine>(
      notifyHandler, std::make_unique<LKXWebServer>(LFile::GetSharedDataFolderAppSubFolder("Web"),
                                                WebScriptArray()),
      std::make_unique<LKXMaintenanceThread>());
}
