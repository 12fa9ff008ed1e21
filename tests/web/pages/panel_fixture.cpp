#include "panel_fixture.h"

#include "foundation/settings_sections.h"
#include "web/http/http_responses.h"
#include "web/pages/common/web_script_array.h"
#include "web/session/weblet_session.h"
#include "web/text/uri_codec.h"

void PanelTest::SetUp() { StartPanel(WebScriptArray(), true); }

void PanelTest::StartPanel(LWebScriptTable table, bool wizardHasRun) {
  WebServerTest::SetUp();
  if (wizardHasRun) LSettingSetString("Settings", "SetupWizardRun", "0");
  StartServer(table);
}

std::string PanelTest::Get(const std::string& path, const std::string& session) {
  std::string request = "GET /" + path + " HTTP/1.0\r\n";
  if (!session.empty()) request += "Cookie: sess=" + session + "\r\n";
  return Exchange(request + "\r\n");
}

std::string PanelTest::Post(const std::string& path, const std::string& body, const std::string& session) {
  std::string request = "POST /" + path + " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  if (!session.empty()) request += "Cookie: sess=" + session + "\r\n";
  request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  return Exchange(request);
}

std::string PanelTest::LogOn(const std::string& email, const std::string& password) {
  return CookieSession(Post("logon", "101=" + LURIEncode(email) + "&102=" + LURIEncode(password) + "&submit=Logon"));
}

std::string PanelTest::CookieSession(const std::string& answer) {
  const std::string start = "HTTP/1.0 302 OK\r\nSet-Cookie: sess=";
  if (answer.compare(0, start.size(), start) != 0) return "";
  const std::size_t end = answer.find(';', start.size());
  return end == std::string::npos ? "" : answer.substr(start.size(), end - start.size());
}

std::string PanelTest::SessionFile(const std::string& id) const {
  return SharedFolder() + "/SessionData/" + id + ".sess";
}

bool PanelTest::WriteSession(const std::string& id, const std::string& content) const {
  LWebletSessionData::Folder();  // made when missing
  return KavrixWriteFile(SessionFile(id), content);
}

std::string PanelTest::Body(const std::string& answer) {
  const std::size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? "" : answer.substr(end + 4);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string ErrorRow(const std::string& message) {
  return "<tr><td colspan=6><font color=#a00000>" + message + "</font></td></tr>";
}

std::string PanelTest::Encode(const HtmlFields& fields, const std::string& extra) {
  std::string body;
  for (const auto& [name, value] : fields)
    body += (body.empty() ? "" : "&") + LURIEncode(name) + "=" + LURIEncode(value);
  return extra.empty() ? body : body + (body.empty() ? "" : "&") + extra;
}
