#include "web/http/https_redirect.h"

#include <cctype>

#include "web/http/http_responses.h"
#include "web/http/machine_address.h"

namespace {

bool NameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-';
}

bool IPv6Character(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
}

}  // namespace

std::string LHttpsRedirectHost(std::string_view hostHeader) {
  std::string_view host = hostHeader;
  while (!host.empty() && static_cast<unsigned char>(host.back()) <= ' ') host.remove_suffix(1);
  if (!host.empty() && host.front() == '[') {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) return {};
    const std::string_view inside = host.substr(1, close - 1);
    for (const char c : inside) {
      if (!IPv6Character(c)) return {};
    }
    return inside.empty() ? std::string() : std::string(host.substr(0, close + 1));
  }
  host = host.substr(0, host.find(':'));
  for (const char c : host) {
    if (!NameCharacter(c)) return {};
  }
  return std::string(host);
}

std::string LHttpsRedirectText(std::string_view hostHeader, std::uint16_t httpsPort, std::string_view url) {
  std::string host = LHttpsRedirectHost(hostHeader);
  // Without a usable name the browser is sent where this machine answers.
  if (host.empty()) host = LMachineIPv4Text();
  std::string location = "https://" + host;
  if (httpsPort != 443) location += ":" + std::to_string(httpsPort);
  location += url.empty() || url.front() != '/' ? std::string("/") : LHttpHeaderSafe(url);
  return "HTTP/1.1 307 Temporary Redirect\r\nLocation: " + location +
         "\r\nContent-Length: 0\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
}
