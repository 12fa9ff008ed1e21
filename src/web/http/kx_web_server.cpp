#include "web/http/kx_web_server.h"

#include <string>
#include <utility>

#include "engine/https_settings.h"
#include "engine/port_settings.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "web/http/embedded_files.h"
#include "web/http/https_certificate.h"
#include "web/http/static_install.h"
#include "web/http/weblet_connection.h"

LKXWebServer::LKXWebServer(std::string documentFolder, LWebScriptTable table, LWebAccessCheck checkAccess)
    : LWebletServer(std::move(documentFolder)), table_(table), checkAccess_(checkAccess) {}

LKXWebServer::~LKXWebServer() {
  httpsListener_.StopThreadNow();
  StopThreadNow();
  StopThreadsNow();
}

void LKXWebServer::Start() {
  const std::uint16_t port = LReadLocalPortSetting();
  webPort_.store(port);
  LSettingSetString("WebServer", "Port", std::to_string(port));
  SetWebScripts(table_, checkAccess_);
  const std::string webRoot = LFile::GetSharedDataFolderAppSubFolder("webcontrol");
  SetRootFolder(webRoot);
  LInstallStaticFiles(LEmbeddedStaticFiles(), webRoot, LWebletHelpFolder());
  httpsListener_.StopThreadNow();
  const std::uint16_t httpsPort = LReadHttpsPortSetting();
  httpsPort_.store(httpsPort);
  std::shared_ptr<const LTlsServerContext> context;
  if (httpsPort != 0) context = KXLoadHttpsContext();
  httpsOn_.store(context != nullptr);
  // Without a usable certificate the plain port keeps serving the pages.
  SetHttpsRedirectPort(context ? httpsPort : 0);
  const std::uint16_t listenPort = GetWebletServerPort();
  StopThreadNow();
  SetListenPort(listenPort);
  if (!LThread::Start(0)) LOGERROR("Unable to start the web server thread.");
  if (!context) return;
  httpsListener_.SetContext(std::move(context));
  httpsListener_.SetListenPort(httpsPort);
  if (!httpsListener_.Start(0)) LOGERROR("Unable to start the HTTPS listener thread.");
}

void LKXWebServer::StopListener() {
  httpsListener_.StopThreadNow();
  StopThreadNow();
}

void LKXWebServer::StopConnectionsNow() { StopThreadsNow(); }
