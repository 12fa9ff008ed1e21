#include "service/engine_assembly.h"

#include "foundation/paths.h"
#include "maintenance/maintenance_thread.h"
#include "web/http/kx_web_server.h"
#include "web/pages/common/web_script_array.h"
#include "web/panel/access_rules.h"

std::unique_ptr<MainEngine> LCreateServiceEngine(LEngineNotifyHandler* notifyHandler) {
  return std::make_unique<MainEngine>(
      notifyHandler, std::make_unique<LKXWebServer>(LFile::GetSharedDataFolderAppSubFolder("Web"),
                                                WebScriptArray(), WLCheckAccess),
      std::make_unique<LKXMaintenanceThread>());
}
