#pragma once
// A real LKXWebServer on a free loopback port, in a fresh data root, with a
// URL table of test pages:
//   ""        "HTTP/1.0 200 OK\r\n\r\nroot page"
//   "echo"    the request as the handler sees it, one "name=value" per line
//   "redirect" WLRedirect to the field "to"
//   "serve"   LWebletForm::ServeFile of the field "path"
//   "wait"    sends a header, then waits until the connection is stopped

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "support/loopback.h"
#include "support/temp_root.h"
#include "web/http/kx_web_server.h"

class WebServerTest : public KavrixTempRoot {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Puts the panel's own page frame (head, footer, message page) in place;
  // TearDown puts the plain one back, because the frame is process-wide.
  void UsePanelFrame();
  // Starts a server on `port_` with `table` (the test table by default).
  void StartServer(LWebScriptTable table);
  std::uint16_t Port() const { return port_; }
  LKXWebServer& Server() { return *server_; }
  void DestroyServer() { server_.reset(); }
  std::string WebRoot() const { return SharedFolder() + "/webcontrol"; }

  // Connects, sends `request`, returns everything until the server closes.
  std::string Exchange(const std::string& request);

  static LWebScriptTable TestTable();

 private:
  std::uint16_t port_ = 0;
  bool panelFrame_ = false;
  std::unique_ptr<LKXWebServer> server_;
};

// Waits (up to 10 s, checking every few ms) until `done` holds: for states
// that have no signal of their own, such as a connection thread that has
// ended and removed itself.
bool KavrixWaitUntil(const std::function<bool()>& done);
