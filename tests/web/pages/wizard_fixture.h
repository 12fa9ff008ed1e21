#pragma once
// The setup wizard on a new installation: the panel's whole URL table with
// the wizard still to run, and the requests a browser makes walking it.

#include <string>

#include "foundation/settings_sections.h"
#include "panel_fixture.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/uri_codec.h"

class WizardTest : public PanelTest {
 protected:
  void SetUp() override { StartPanel(WebScriptArray(), false); }

  // Step 1 with these values and "  Next  "; the whole answer.
  std::string PostAdmin(const std::string& email, const std::string& name, const std::string& password,
                        const std::string& confirm) {
    return Post("wizardadmin", "101=" + LURIEncode(email) + "&102=" + LURIEncode(name) + "&103=" +
                                   LURIEncode(password) + "&104=" + LURIEncode(confirm) + "&" + Submit("  Next  "));
  }
  // Step 1 for boss@office.example ("Secret1"); the session handed over.
  std::string CreateAdmin() {
    return CookieSession(PostAdmin("boss@office.example", "The Boss", "Secret1", "Secret1"));
  }
  // The exact redirect that hands over session `id` and leads to `target`.
  static std::string CookieRedirect(const std::string& id, const std::string& target) {
    return "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + id + "; HttpOnly; SameSite=Lax\r\nLocation: " + target +
           "\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  }
  std::string SessionFileText(const std::string& id) const { return KavrixReadFile(SessionFile(id)); }
  static std::string Setting(const std::string& section, const std::string& key) {
    return LSettingGetString(section, key);
  }
  static std::string Submit(const std::string& label) { return "submit=" + LURIEncode(label); }
};
