#pragma once
// A real web server with the logon, password, change-e-mail and main pages
// on a loopback port, the panel's page frame installed, the setup wizard
// switched off, and small helpers for requests with a session cookie.

#include <string>

#include "support/web_server_fixture.h"

class PanelTest : public WebServerTest {
 protected:
  void SetUp() override;

  // GET or POST (form-encoded `body`) of `path`, with the cookie
  // "sess=<session>" when `session` is not empty; the whole answer.
  std::string Get(const std::string& path, const std::string& session = "");
  std::string Post(const std::string& path, const std::string& body, const std::string& session = "");
  // Logs on through the logon dialog; the new session's id, or "" when the
  // answer was not the cookie redirect.
  std::string LogOn(const std::string& email, const std::string& password);
  std::string SessionFile(const std::string& id) const;
  // Writes a session file as another part of the system (a station
  // connection) would have; false when it could not be written.
  bool WriteSession(const std::string& id, const std::string& content) const;
  // The body of a page that the installed frame wraps: what follows the
  // HTTP header.
  static std::string Body(const std::string& answer);
};

bool Contains(const std::string& text, const std::string& part);
// The message row the dialogs show above an invalid control.
std::string ErrorRow(const std::string& message);
// What a person reads of a page: the text between the tags, with the
// entities the pages write shown as the characters they stand for.
std::string Visible(const std::string& html);
