#pragma once
// A real web server with the panel's page frame on a loopback port, and the
// requests a browser makes: with or without a session cookie, logging on,
// and sending a page's forms back as they were shown.

#include <string>

#include "support/html_reader.h"
#include "support/web_server_fixture.h"

class PanelTest : public WebServerTest {
 protected:
  // The panel's whole URL table, the setup wizard done.
  void SetUp() override;
  // Starts the server on `table`; `wizardHasRun` false leaves the setup
  // wizard waiting, as on a new installation.
  void StartPanel(LWebScriptTable table, bool wizardHasRun);

  // GET or POST (form-encoded `body`) of `path`, with the cookie
  // "sess=<session>" when `session` is not empty; the whole answer.
  std::string Get(const std::string& path, const std::string& session = "");
  std::string Post(const std::string& path, const std::string& body, const std::string& session = "");
  // Logs on through the logon dialog; the new session's id, or "".
  std::string LogOn(const std::string& email, const std::string& password);
  std::string SessionFile(const std::string& id) const;
  // Writes a session file as a station connection would have.
  bool WriteSession(const std::string& id, const std::string& content) const;
  // What follows the HTTP header.
  static std::string Body(const std::string& answer);
  // The session id of a "Set-Cookie: sess=" redirect, or "".
  static std::string CookieSession(const std::string& answer);
  // `fields` form-encoded, then `extra` (for example "submit=++OK++").
  static std::string Encode(const HtmlFields& fields, const std::string& extra);
  // The page's fields as the browser sends them unchanged, then `extra`.
  static std::string SendBack(const std::string& page, const std::string& extra) {
    return Encode(HtmlPage(page).Fields(), extra);
  }
};

bool Contains(const std::string& text, const std::string& part);
// The message row the dialogs show above an invalid control.
std::string ErrorRow(const std::string& message);
// What a person reads of a page.
inline std::string Visible(const std::string& html) { return HtmlPage(html).Text(); }
// The redirect every accepted dialog answers with.
inline std::string Redirect(const std::string& target) {
  return "HTTP/1.0 302 OK\r\nLocation: " + target + "\r\nX-Content-Type-Options: nosniff\r\n\r\n";
}
