#include "web/kx_web_server.h"

#include <string>
#include <utility>

#include "engine/port_settings.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "web/embedded_files.h"
#include "web/static_install.h"
#include "web/weblet_connection.h"

LKXWebServer::LKXWebServer(std::string documentFolder, LWebScriptTable table)
    : LWebletServer(std::move(documentFolder)), table_(table) {}

LKXWebServer::~LKXWebServer() {
  StopThreadNow();
  StopThreadsNow();
}

void LKXWebServer::Start() {
  const std::uint16_t port = LReadLocalPortSetting();
  webPort_.store(port);
  LSettingSetString("WebServer", "Port", std::to_string(port));
  SetWebScripts(table_);
  const std::string webRoot = LFile::GetSharedDataFolderAppSubFolder("webcontrol");
  SetRootFolder(webRoot);
  LInstallStaticFiles(LEmbeddedStaticFiles(), webRoot, LWebletHelpFolder());
  const std::uint16_t listenPort = GetWebletServerPort();
  StopThreadNow();
  SetListenPort(listenPort);
  if (!LThread::Start(0)) LOGERROR("Unable to start the web server thread.");
}

void LKXWebServer::StopListener() { StopThreadNow(); }

void LKXWebServer::StopConnectionsNow() { StopThreadsNow(); }
