#pragma once
// The web server: a TCP listener whose every accepted connection runs on a
// detached thread of its own (LWebletConnection), kept in the server's list
// so that a stop reaches all of them.

#include <cstdint>
#include <mutex>
#include <string>

#include "engine/tcp_listener.h"
#include "foundation/detached_thread.h"
#include "web/http/address_slots.h"
#include "web/http/url_table.h"
#include "web/http/weblet_connection.h"

class LWebletServer : public LTCPListener, public LDetachedThreadsOwner {
 public:
  // Connection threads get a modest stack: a server holding thousands of
  // station and browser connections would otherwise reserve gigabytes.
  static constexpr std::size_t kConnectionStackBytes = 256 * 1024;
  static constexpr std::uint16_t kDefaultWebServerPort = 1089;

  explicit LWebletServer(std::string rootFolder);
  // Stops the listener, then every connection thread.
  ~LWebletServer() override;

  // Used by connections accepted from now on.
  void SetWebScripts(LWebScriptTable table, LWebAccessCheck checkAccess);
  void SetRootFolder(std::string folder);
  std::string GetRootFolder() const;

  // "WebServer"/"Port"; 1089 when empty or when its low 16 bits are 0.
  static std::uint16_t GetWebletServerPort();

  // The count of open connections per client address.
  LAddressSlots& AddressSlots() { return addressSlots_; }
  // While `httpsPort` is set, connections accepted from now on by the plain
  // listener redirect to it (see LWebletSecurity).
  void SetHttpsRedirectPort(std::uint16_t httpsPort);
  // Runs a connection on a thread of its own (the socket is taken over).
  void StartConnection(LIPSocketTCP& socket, const LIPv4Peer& peer, LWebletSecurity security);

 protected:
  void NewConnection(LIPSocketTCP& socket) override;
  void BindConflict() override;

 private:
  // Guards table_, rootFolder_ and httpsRedirectPort_, which a restart sets while the listener
  // thread may be reading them for a new connection.
  mutable std::mutex configMutex_;
  LWebScriptTable table_;
  LWebAccessCheck checkAccess_ = nullptr;
  std::string rootFolder_;
  // Outlives every connection: the destructor stops them first.
  LAddressSlots addressSlots_;
  std::uint16_t httpsRedirectPort_ = 0;
};
