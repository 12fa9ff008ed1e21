#include "routing/upnp_messages.h"

#include <cstdio>
#include <cstdlib>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

std::string Cut(std::string text) {
  if (text.size() > kLUPnPMaxValue) text.resize(kLUPnPMaxValue);
  return text;
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// One numeric reference "&#...;" at the start of `text`: its length, or 0.
std::size_t DecodeNumeric(std::string_view text, std::string& out) {
  std::size_t at = 2;
  int base = 10;
  if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
    base = 16;
    ++at;
  }
  unsigned long code = 0;
  std::size_t digits = 0;
  for (; at < text.size() && digits < 7; ++at, ++digits) {
    const char c = text[at];
    int value;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (base == 16 && Lower(c) >= 'a' && Lower(c) <= 'f') value = Lower(c) - 'a' + 10;
    else break;
    code = code * static_cast<unsigned long>(base) + static_cast<unsigned long>(value);
  }
  if (digits == 0 || at >= text.size() || text[at] != ';') return 0;
  // NUL and values beyond Unicode are not characters: keep the reference as text.
  if (code == 0 || code > 0x10FFFF) return 0;
  AppendUtf8(out, code);
  return at + 1;
}

}  // namespace

bool LSSDPFindLocation(std::string_view answer, std::string& url) {
  constexpr std::string_view kHeader = "LOCATION:";
  std::size_t line = 0;
  while (line < answer.size()) {
    const std::string_view rest = answer.substr(line);
    if (StartsWithNoCase(rest, kHeader)) {
      std::size_t at = kHeader.size();
      while (at < rest.size() && (rest[at] == ' ' || rest[at] == '\t')) ++at;
      std::size_t end = at;
      while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n') ++end;
      url = Cut(std::string(rest.substr(at, end - at)));
      return true;
    }
    const std::size_t next = answer.find('\n', line);
    if (next == std::string_view::npos) break;
    line = next + 1;
  }
  return false;
}

bool LUPnPSplitURL(std::string_view url, std::string& host, std::string& path) {
  constexpr std::string_view kScheme = "http://";
  if (!StartsWithNoCase(url, kScheme)) return false;
  const std::string_view rest = url.substr(kScheme.size());
  const std::size_t slash = rest.find('/');
  host = std::string(rest.substr(0, slash));
  path = slash == std::string_view::npos ? std::string("/") : std::string(rest.substr(slash));
  return !host.empty();
}

bool LUPnPSplitHostPort(std::string_view hostPort, int defaultPort, std::string& host, int& port) {
  const std::size_t colon = hostPort.rfind(':');
  port = defaultPort;
  host = std::string(hostPort.substr(0, colon));
  if (colon == std::string_view::npos) return !host.empty();
  const std::string_view digits = hostPort.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return false;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  port = value;
  return !host.empty();
}

bool LUPnPFindControlURL(std::string_view description, std::string_view service,
                         std::string& controlPath) {
  std::string type = "<serviceType>urn:schemas-upnp-org:service:";
  type.append(service);
  const std::size_t typeAt = description.find(type);
  if (typeAt == std::string_view::npos) return false;
  constexpr std::string_view kControl = "<controlURL>";
  const std::size_t controlAt = description.find(kControl, typeAt + type.size());
  if (controlAt == std::string_view::npos) return false;
  const std::size_t start = controlAt + kControl.size();
  const std::size_t end = description.find('<', start);
  if (end == std::string_view::npos) return false;
  controlPath = Cut(LXMLDecodeEntities(description.substr(start, end - start)));
  return !controlPath.empty();
}

bool LUPnPFieldValue(std::string_view answer, std::string_view tag, std::string& value) {
  const std::size_t tagAt = answer.find(tag);
  if (tagAt == std::string_view::npos) return false;
  const std::size_t close = answer.find('>', tagAt + tag.size());
  if (close == std::string_view::npos) return false;
  const std::size_t end = answer.find('<', close + 1);
  const std::string_view raw =
      answer.substr(close + 1, end == std::string_view::npos ? std::string_view::npos : end - close - 1);
  value = Cut(LXMLDecodeEntities(raw.substr(0, kLUPnPMaxValue * 8)));
  return true;
}

std::string LXMLDecodeEntities(std::string_view text) {
  static constexpr struct {
    std::string_view name;
    char value;
  } kNamed[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] != '&') {
      out += text[at++];
      continue;
    }
    const std::string_view rest = text.substr(at);
    std::size_t used = 0;
    if (rest.size() > 2 && rest[1] == '#') {
      used = DecodeNumeric(rest, out);
    } else {
      for (const auto& entity : kNamed) {
        if (rest.substr(0, entity.name.size()) == entity.name) {
          out += entity.value;
          used = entity.name.size();
          break;
        }
      }
    }
    if (used == 0) {
      out += '&';
      used = 1;
    }
    at += used;
  }
  return out;
}

std::string LUPnPSOAPBody(std::string_view service, std::string_view action,
                          std::string_view arguments) {
  std::string body =
      "<?xml version=\"1.0\"?>\r\n"
      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
      "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:";
  body.append(action);
  body += " xmlns:u=\"urn:schemas-upnp-org:service:";
  body.append(service);
  body += "\">";
  body.append(arguments);
  body += "</u:";
  body.append(action);
  body += "></s:Body></s:Envelope>\r\n";
  return body;
}

std::string LUPnPSOAPRequest(std::string_view controlPath, std::string_view host,
                             std::string_view service, std::string_view action,
                             std::string_view arguments) {
  const std::string body = LUPnPSOAPBody(service, action, arguments);
  std::string request = "POST ";
  request.append(controlPath);
  request += " HTTP/1.1\r\nHost: ";
  request.append(host);
  request += "\r\nCONTENT-LENGTH: " + std::to_string(body.size());
  request += "\r\nCONTENT-TYPE: text/xml; charset=\"utf-8\"\r\nSOAPACTION: \"urn:schemas-upnp-org:service:";
  request.append(service);
  request += "#";
  request.append(action);
  request += "\"\r\n\r\n";
  request += body;
  return request;
}

std::string LUPnPAddPortMappingArguments(int externalPort, int internalPort,
                                         std::string_view internalClient) {
  constexpr std::string_view kProtocol = "TCP";
  std::string text = "<NewRemoteHost></NewRemoteHost><NewExternalPort>" +
                     std::to_string(externalPort) + "</NewExternalPort><NewProtocol>";
  text.append(kProtocol);
  text += "</NewProtocol><NewInternalPort>" + std::to_string(internalPort) +
          "</NewInternalPort><NewInternalClient>";
  text.append(internalClient);
  text += "</NewInternalClient><NewEnabled>1</NewEnabled><NewPortMappingDescription>KavrixServer ";
  text.append(kProtocol);
  text += " Redirection</NewPortMappingDescription><NewLeaseDuration>0</NewLeaseDuration>";
  return text;
}

std::string LUPnPDescriptionRequest(std::string_view path, std::string_view host) {
  std::string request = "GET ";
  request.append(path);
  request += " HTTP/1.1\r\nHost: ";
  request.append(host);
  request += "\r\nConnection: close\r\n\r\n";
  return request;
}

bool LUPnPFindFault(std::string_view answer, std::string& text) {
  if (answer.find("<faultstring>") == std::string_view::npos) return false;
  std::string code;
  std::string description;
  text = "refused";
  if (LUPnPFieldValue(answer, "<errorCode", code)) text += " (error " + code;
  if (LUPnPFieldValue(answer, "<errorDescription", description)) {
    text += code.empty() ? " (" : ": ";
    text += description;
  }
  if (!code.empty() || !description.empty()) text += ")";
  return true;
}
