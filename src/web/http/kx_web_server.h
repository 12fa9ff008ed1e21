#pragma once
// The control panel's web server as the engine runs it: the port comes from
// "Routing"/"LocalPort", the pages from the URL table, the static files from
// the shared sub-folder "webcontrol". With "Routing"/"HttpsPort" set and a
// usable certificate (https_certificate.h) a second listener serves the
// same pages over HTTPS, and the plain port redirects browsers there.

#include <cstdint>
#include <string>

#include "engine/engine_parts.h"
#include "web/http/https_listener.h"
#include "web/http/url_table.h"
#include "web/http/weblet_server.h"

class LKXWebServer : public LWebletServer, public LEngineWebServer {
 public:
  // `documentFolder` serves until the first Start, which switches to the
  // "webcontrol" folder. `table` is the URL table that Start installs, whose
  // rules `checkAccess` applies.
  LKXWebServer(std::string documentFolder, LWebScriptTable table, LWebAccessCheck checkAccess);
  ~LKXWebServer() override;

  // Reads "Routing"/"LocalPort" (89 when empty) as the configured port and
  // stores it as "WebServer"/"Port"; installs the URL table and the
  // "webcontrol" web root, lays out missing static files, then (re)starts the
  // listener on GetWebletServerPort(); then the HTTPS listener, when on.
  void Start() override;
  void StopListener() override;
  void StopConnectionsNow() override;
  std::uint16_t ConfiguredPort() const override { return webPort_.load(); }
  std::uint16_t ConfiguredHttpsPort() const override { return httpsPort_.load(); }
  // True once the HTTPS listener listens (false when HTTPS is off or its
  // certificate could not be used), within `timeoutMs`.
  bool WaitHttpsListening(int timeoutMs) const { return httpsOn_.load() && httpsListener_.WaitListening(timeoutMs); }

 private:
  const LWebScriptTable table_;
  const LWebAccessCheck checkAccess_;
  std::atomic<std::uint16_t> webPort_{0};
  std::atomic<std::uint16_t> httpsPort_{0};
  std::atomic<bool> httpsOn_{false};
  LHttpsListener httpsListener_{*this};
};
