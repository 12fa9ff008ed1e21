#include "support/web_server_fixture.h"

#include <atomic>

#include "web/http/weblet_connection.h"

#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/session/logon_throttle.h"

namespace {

void RootPage(LWebletForm& form) { wfprintf(form, "HTTP/1.0 200 OK\r\n\r\nroot page"); }

void EchoPage(LWebletForm& form) {
  LStringWriter text;
  text.Write("HTTP/1.0 200 OK\r\n\r\n");
  tplformat(text, "page=%s\nremote=%s\nmethod=%s\n", form.PageName(), form.RemoteAddress(),
            form.Method());
  for (const auto& pair : form.Params()) tplformat(text, "param %s=%s\n", pair.key, pair.value);
  for (const auto& pair : form.Cookies()) tplformat(text, "cookie %s=%s\n", pair.key, pair.value);
  for (const auto& pair : form.Headers()) tplformat(text, "header %s=%s\n", pair.key, pair.value);
  WLSendRaw(form, text.Text());
}

void RedirectPage(LWebletForm& form) { WLRedirect(form, form.Params().GetParm("to")); }

void ServePage(LWebletForm& form) { form.ServeFile(form.Params().GetParm("path")); }

void WaitPage(LWebletForm& form) {
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\nwaiting %s", form.RemoteAddress());
  form.Thread().GetStopSignal().WaitSignalForever();
}

const LWebScriptEntry kTestTable[] = {
    {"", RootPage, LWebAccess::kAnyone},
    {"echo", EchoPage, LWebAccess::kAnyone},
    {"redirect", RedirectPage, LWebAccess::kAnyone},
    {"serve", ServePage, LWebAccess::kAnyone},
    {"wait", WaitPage, LWebAccess::kAnyone},
};

std::atomic<long long> headClockMs{0};
std::atomic<int> headClockReads{0};

std::chrono::steady_clock::time_point HeadClock() {
  ++headClockReads;
  return std::chrono::steady_clock::time_point(std::chrono::milliseconds(headClockMs.load()));
}

}  // namespace

void WebServerTest::SetHeadClockMs(long long ms) {
  headClockMs = ms;
  headClockReads = 0;
  LWebletConnection::SetHeadClock(&HeadClock);
}

int WebServerTest::HeadClockReads() { return headClockReads.load(); }

LWebScriptTable WebServerTest::TestTable() { return kTestTable; }

void WebServerTest::SetUp() {
  KavrixTempRoot::SetUp();
  // Failed logons of earlier tests must not slow this one down.
  KXLogonThrottle().Clear();
  port_ = KavrixFreeLoopbackPort();
  ASSERT_NE(port_, 0);
  LSettingSetString("Routing", "LocalPort", std::to_string(port_));
  LFile::GetSharedDataFolderAppSubFolder("webcontrol");
}

void WebServerTest::StartServer(LWebScriptTable table) {
  server_ = std::make_unique<LKXWebServer>(SharedFolder() + "/Web", table, WLCheckAccess);
  server_->Start();
  ASSERT_TRUE(server_->WaitListening(10000));
}

void WebServerTest::TearDown() {
  server_.reset();
  LWebletConnection::SetHeadDeadlineMs(LWebletConnection::kHeadDeadlineMs);
  LWebletConnection::SetHeadClock(&LRecvDeadline::SteadyNow);
  KavrixTempRoot::TearDown();
}

std::string WebServerTest::Exchange(const std::string& request) {
  LUniqueFd client = KavrixConnectLoopback(port_);
  if (!client || !KavrixSendAll(client.Get(), request)) return "<no connection>";
  return KavrixRecvUntilClose(client.Get());
}

std::string WebServerTest::Get(const std::string& target, const std::string& headers) {
  return Exchange("GET /" + target + " HTTP/1.0\r\nHost: here\r\n" + headers + "\r\n");
}

std::string WebServerTest::Post(const std::string& target, const std::string& body, const std::string& headers) {
  return Exchange("POST /" + target + " HTTP/1.0\r\nHost: here\r\n" + headers +
                  "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

std::string WebServerTest::HeadOf(const std::string& answer) {
  const std::size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? answer : answer.substr(0, end + 4);
}

std::string WebServerTest::BodyOf(const std::string& answer) {
  const std::size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? answer : answer.substr(end + 4);
}

bool KavrixWaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}
