#include "service/engine_assembly.h"

#include "foundation/paths.h"
#include "maintenance/maintenance_thread.h"
#include "web/kx_web_server.h"
#include "web/page_frame_install.h"
#include "web/pages/web_script_array.h"

std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler) {
  // The access checks of the web core write their refusals in the panel's
  // own frame from the first request on.
  WLInstallPageFrame();
  return std::make_unique<MainEngine>(
      notifyHandler, std::make_unique<LKXWebServer>(LFile::GetSharedDataFolderAppSubFolder("Web"),
                                                WebScriptArray()),
      std::make_unique<LKXMaintenanceThread>());
}
