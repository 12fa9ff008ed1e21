#include "service/main_engine_proxy.h"

#include <string>

#include "engine/port_settings.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "service/engine_assembly.h"
#include "service/root_prompt.h"
#include "service/service_control.h"

MainEngineProxy::MainEngineProxy(LServicePaths paths, Factory factory)
    : LServiceEngineProxy<MainEngine>(std::move(paths), factory != nullptr ? factory : LCreateServiceEngine) {}

namespace {

// The installed service is started by its init script without KAVRIX_ROOT,
// so it keeps its data under the fixed root. A desktop working on another
// root (a test, a trial installation) would install a service that serves
// someone else's data; it runs the engine itself instead.
bool InstalledServiceWouldServeUs(const LServicePaths& paths) {
  return paths.serviceExecutable != LServicePaths{}.serviceExecutable || LFile::GetInstallRoot() == "/opt/mardel";
}

}  // namespace

void MainEngineProxy::Start() {
  OpenWebPorts();
  Stop();
  if (!OpenChannel() && InstalledServiceWouldServeUs(paths_) && LServiceStart(paths_)) (void)OpenChannel();
  if (IsConnected()) {
    if (StartReading()) return;
    Stop();
  }
  LOG(kLProxyForegroundFallback);
  StartInProcessEngine();
}

void MainEngineProxy::OpenWebPorts() {
  const std::string port = std::to_string(LReadLocalPortSetting());
  if (LSettingGetString("Routing", "PreviousLocalPort", "0") == port) return;
  LServiceShowMessage("WebServer Starting",
                      "KavrixServer will now attempt to start its internal web server. You must click Unblock or "
                      "Allow to any of the following prompts to allow other computers to connect to this computer "
                      "over the network.");
  LSettingSetString("Routing", "PreviousLocalPort", port);
}
