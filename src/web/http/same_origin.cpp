#include "web/http/same_origin.h"


#include "foundation/log.h"
#include "foundation/settings_parse.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"

namespace {

// "host:port" without the port when it is the default one.
std::string DropDefaultPort(std::string authority, std::string_view defaultPort) {
  const std::size_t colon = authority.rfind(':');
  // A colon inside brackets belongs to an IPv6 address, not to a port.
  if (colon != std::string::npos && authority.find(']', colon) == std::string::npos &&
      std::string_view(authority).substr(colon + 1) == defaultPort) {
    authority.erase(colon);
  }
  return authority;
}

std::string HeaderValue(const LHashTable& headers, std::string_view name) {
  return headers.GetParm(name);
}

}  // namespace

std::string LWebletOriginHost(std::string_view url) {
  const std::size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos || schemeEnd == 0) return {};
  const std::string scheme = LSettingsLowerCase(url.substr(0, schemeEnd));
  std::string_view rest = url.substr(schemeEnd + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  // Credentials before "@" are no part of the host.
  const std::size_t at = rest.rfind('@');
  if (at != std::string_view::npos) rest.remove_prefix(at + 1);
  if (rest.empty()) return {};
  return DropDefaultPort(LSettingsLowerCase(rest), scheme == "https" ? "443" : "80");
}

std::string LWebletHostHeaderHost(std::string_view host, bool secure) {
  while (!host.empty() && static_cast<unsigned char>(host.back()) <= ' ') host.remove_suffix(1);
  return DropDefaultPort(LSettingsLowerCase(host), secure ? "443" : "80");
}

bool LWebletOriginIsHttps(std::string_view url) {
  const std::size_t schemeEnd = url.find("://");
  return schemeEnd != std::string_view::npos && LSettingsLowerCase(url.substr(0, schemeEnd)) == "https";
}

bool WLCheckSameOrigin(LWebletForm& form) {
  if (form.Method() != "POST") return true;
  const LHashTable& headers = form.Headers();
  const char* name = "Origin";
  std::string sender = HeaderValue(headers, name);
  if (sender.empty()) {
    name = "Referer";
    sender = HeaderValue(headers, name);
  }
  if (sender.empty()) return true;
  const bool secure = form.IsSecure();
  const std::string own = LWebletHostHeaderHost(HeaderValue(headers, "Host"), secure);
  const std::string from = LWebletOriginHost(sender);
  if (!from.empty() && from == own && (!secure || LWebletOriginIsHttps(sender))) return true;
  LOGWARNF("Refused a form for \"%s\" from %s: its %s \"%s\" is not this server (\"%s%s\").",
           form.PageName().c_str(), form.RemoteAddress().c_str(), name, sender.c_str(), secure ? "https://" : "",
           own.c_str());
  (void)WLSendRaw(form, kLHttpForeignOriginRefused);
  return false;
}
