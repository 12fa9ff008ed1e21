#pragma once
// A real LKXWebServer on a free loopback port, in a fresh data root, with a
// URL table of test pages:
//   ""        "HTTP/1.0 200 OK\r\n\r\nroot page"
//   "echo"    the request as the handler sees it, one "name=value" per line
//   "redirect" WLRedirect to the field "to"
//   "serve"   LWebletForm::ServeFile of the field "path"
//   "wait"    sends a header, then waits until the connection is stopped
// and the requests most tests send: Get, Post, and the parts of an answer.

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

  // Starts a server on `port_` with `table` (the test table by default).
  void StartServer(LWebScriptTable table);
  std::uint16_t Port() const { return port_; }
  LKXWebServer& Server() { return *server_; }
  void DestroyServer() { server_.reset(); }
  std::string WebRoot() const { return SharedFolder() + "/webcontrol"; }

  // Connects, sends `request`, returns everything until the server closes.
  std::string Exchange(const std::string& request);
  // An HTTP/1.0 request for "/" + `target` with "Host: here" and `headers`
  // (whole lines, each ending in CRLF), answered as Exchange does.
  std::string Get(const std::string& target, const std::string& headers = "");
  std::string Post(const std::string& target, const std::string& body, const std::string& headers = "");
  // An answer's head (through the empty line) and its body; the whole answer
  // when it has no empty line.
  static std::string HeadOf(const std::string& answer);
  static std::string BodyOf(const std::string& answer);
  // The header line that sends `cookies` ("sess=..." and the like).
  static std::string CookieLine(const std::string& cookies) { return "Cookie: " + cookies + "\r\n"; }

  static LWebScriptTable TestTable();

  // Measures the head deadline of new connections on the test's clock, which
  // stands at `ms` until moved again and counts how often it is read (a
  // reading after a request's first byte sets the deadline).
  static void SetHeadClockMs(long long ms);
  static int HeadClockReads();

 private:
  std::uint16_t port_ = 0;
  std::unique_ptr<LKXWebServer> server_;
};

// Waits (up to 10 s, checking every few ms) until `done` holds: for states
// that have no signal of their own, such as a connection thread that has
// ended and removed itself.
bool KavrixWaitUntil(const std::function<bool()>& done);
