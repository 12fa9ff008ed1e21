#include "web/http/weblet_server.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <utility>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "foundation/text_limits.h"
#include "web/http/weblet_connection.h"

LWebletServer::LWebletServer(std::string rootFolder) : rootFolder_(LCutText(rootFolder)) {}

LWebletServer::~LWebletServer() {
  // The listener calls NewConnection, which uses this object: it must be
  // gone before the members are.
  StopThreadNow();
  StopThreadsNow();
}

void LWebletServer::SetWebScripts(LWebScriptTable table, LWebAccessCheck checkAccess) {
  std::lock_guard<std::mutex> lock(configMutex_);
  table_ = table;
  checkAccess_ = checkAccess;
}

void LWebletServer::SetRootFolder(std::string folder) {
  std::lock_guard<std::mutex> lock(configMutex_);
  rootFolder_ = LCutText(folder);
}

std::string LWebletServer::GetRootFolder() const {
  std::lock_guard<std::mutex> lock(configMutex_);
  return rootFolder_;
}

std::uint16_t LWebletServer::GetWebletServerPort() {
  const std::string text = LSettingGetString("WebServer", "Port");
  const auto port = static_cast<std::uint16_t>(std::strtol(text.c_str(), nullptr, 10));
  return port == 0 ? kDefaultWebServerPort : port;
}

void LWebletServer::SetHttpsRedirectPort(std::uint16_t httpsPort) {
  std::lock_guard<std::mutex> lock(configMutex_);
  httpsRedirectPort_ = httpsPort;
}

void LWebletServer::NewConnection(LIPSocketTCP& socket) {
  LWebletSecurity security;
  {
    std::lock_guard<std::mutex> lock(configMutex_);
    security.httpsPort = httpsRedirectPort_;
  }
  StartConnection(socket, AcceptedPeer(), std::move(security));
}

void LWebletServer::StartConnection(LIPSocketTCP& socket, const LIPv4Peer& peer, LWebletSecurity security) {
  // Refused by closing at once: the listener closes what is left in `socket`.
  LAddressSlot slot;
  if (!slot.Acquire(addressSlots_, peer.address)) return;
  // Responses go out as a header and pieces of at most 1024 bytes; without
  // this each small piece would wait for the browser's delayed
  // acknowledgement of the previous one, some 40 ms per request.
  const int on = 1;
  ::setsockopt(socket.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  LWebScriptTable table;
  LWebAccessCheck checkAccess = nullptr;
  std::string root;
  {
    std::lock_guard<std::mutex> lock(configMutex_);
    table = table_;
    checkAccess = checkAccess_;
    root = rootFolder_;
  }
  auto* connection =
      new (std::nothrow) LWebletConnection(socket, table, checkAccess, std::move(root), peer, std::move(security), std::move(slot));
  if (connection == nullptr) {
    LOGERROR("Unable to start a thread for a new web connection.");
    return;  // the listener closes the socket, which is still its own
  }
  if (connection->GetStopSignal().GetFd() < 0) {
    // The socket took the last descriptor and the thread's stop signal found
    // none: such a thread could not be stopped promptly, so the connection
    // goes, and the shortage is reported as if accept() had met it.
    delete connection;
    DescriptorShortage(EMFILE);
    return;
  }
  connection->SetStackSize(kConnectionStackBytes);
  if (!connection->StartDetached(this, 0)) {
    // Deleting the connection closes the socket it took over.
    delete connection;
    LOGERROR("Unable to start a thread for a new web connection.");
  }
}

void LWebletServer::BindConflict() {
  LOGERROR("Webserver cannot bind to TCP/IP port.");
  LOGERRORF("Some other program may be using port %d.", GetWebletServerPort());
}
