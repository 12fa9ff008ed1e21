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
  // Where a redirect that hands over a session leads, and whom the session
  // logs on (the cookie's bytes are the logon dialog's test).
  std::string HandedOver(const std::string& answer) const {
    const std::size_t at = answer.find("\r\nLocation: ");
    if (CookieSession(answer).empty() || at == std::string::npos) return "<no session>";
    return answer.substr(at + 12, answer.find("\r\n", at + 2) - at - 12) + " " +
           KavrixReadFile(SessionFile(CookieSession(answer)));
  }
  static std::string Setting(const std::string& section, const std::string& key) {
    return LSettingGetString(section, key);
  }
  static std::string Submit(const std::string& label) { return "submit=" + LURIEncode(label); }
};
