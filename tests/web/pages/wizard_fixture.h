#pragma once
// The setup wizard on a real loopback server with the panel's URL table and
// page frame, and the requests a browser makes while walking through it.

#include <string>

#include "support/web_server_fixture.h"

class WizardTest : public WebServerTest {
 protected:
  void SetUp() override;

  // GET or POST (form-encoded `body`) of `path` with the cookie
  // "sess=<session>" when `session` is not empty; the whole answer.
  std::string Get(const std::string& path, const std::string& session = "");
  std::string Post(const std::string& path, const std::string& body, const std::string& session = "");

  // Step 1 with these values and "  Next  "; the whole answer.
  std::string PostAdmin(const std::string& email, const std::string& name, const std::string& password,
                        const std::string& confirm);
  // Runs step 1 for boss@office.example (password "Secret1") and returns
  // the session id that the cookie redirect hands over ("" when none).
  std::string CreateAdmin();

  // The session id of a "Set-Cookie: sess=" redirect, or "".
  static std::string CookieSession(const std::string& answer);
  // The exact redirect that hands over session `id` and leads to `target`.
  static std::string CookieRedirect(const std::string& id, const std::string& target);
  std::string SessionFileText(const std::string& id) const;
  std::string Setting(const std::string& section, const std::string& key) const;

  static bool Has(const std::string& text, const std::string& part);
  // The message row that dialogs show above an invalid control.
  static std::string MessageRow(const std::string& message);
  // "submit=" with the label, form-encoded.
  static std::string Submit(const std::string& label);
};
