#include "wizard_fixture.h"

#include "foundation/settings_sections.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/uri_codec.h"

void WizardTest::SetUp() {
  WebServerTest::SetUp();
  UsePanelFrame();
  StartServer(WebScriptArray());
}

std::string WizardTest::Get(const std::string& path, const std::string& session) {
  std::string request = "GET /" + path + " HTTP/1.0\r\n";
  if (!session.empty()) request += "Cookie: sess=" + session + "\r\n";
  return Exchange(request + "\r\n");
}

std::string WizardTest::Post(const std::string& path, const std::string& body, const std::string& session) {
  std::string request = "POST /" + path + " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  if (!session.empty()) request += "Cookie: sess=" + session + "\r\n";
  request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  return Exchange(request);
}

std::string WizardTest::PostAdmin(const std::string& email, const std::string& name,
                                  const std::string& password, const std::string& confirm) {
  return Post("wizardadmin", "101=" + LURIEncode(email) + "&102=" + LURIEncode(name) + "&103=" +
                                 LURIEncode(password) + "&104=" + LURIEncode(confirm) + "&" +
                                 Submit("  Next  "));
}

std::string WizardTest::CreateAdmin() {
  return CookieSession(PostAdmin("boss@office.example", "The Boss", "Secret1", "Secret1"));
}

std::string WizardTest::CookieSession(const std::string& answer) {
  const std::string start = "HTTP/1.0 302 OK\r\nSet-Cookie: sess=";
  if (answer.compare(0, start.size(), start) != 0) return "";
  const std::size_t end = answer.find(';', start.size());
  return end == std::string::npos ? "" : answer.substr(start.size(), end - start.size());
}

std::string WizardTest::CookieRedirect(const std::string& id, const std::string& target) {
  return "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + id + "; HttpOnly; SameSite=Lax\r\nLocation: " + target +
         "\r\nX-Content-Type-Options: nosniff\r\n\r\n";
}

std::string WizardTest::SessionFileText(const std::string& id) const {
  return KavrixReadFile(SharedFolder() + "/SessionData/" + id + ".sess");
}

std::string WizardTest::Setting(const std::string& section, const std::string& key) const {
  return LSettingGetString(section, key);
}

bool WizardTest::Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string WizardTest::MessageRow(const std::string& message) {
  return "<tr><td colspan=6><font color=#a00000>" + message + "</font></td></tr>";
}

std::string WizardTest::Submit(const std::string& label) { return "submit=" + LURIEncode(label); }
