#include "web/http/http_responses.h"


#include "foundation/settings_parse.h"

namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LSettingsEqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimmedValue(std::string_view line, std::size_t nameLength) {
  std::string_view value = line.substr(nameLength);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return value;
}

}  // namespace

std::size_t LHttpAddSecurityHeaders(std::string& text) {
  const std::size_t blank = text.find("\r\n\r\n");
  if (blank == std::string::npos || !StartsNoCase(text, "HTTP/")) return 0;
  bool noSniff = false, frameOptions = false, policy = false, html = false;
  std::size_t pos = text.find("\r\n") + 2;
  while (pos <= blank) {
    const std::size_t end = text.find("\r\n", pos);
    const std::string_view line = std::string_view(text).substr(pos, end - pos);
    noSniff = noSniff || StartsNoCase(line, "X-Content-Type-Options:");
    frameOptions = frameOptions || StartsNoCase(line, "X-Frame-Options:");
    policy = policy || StartsNoCase(line, "Content-Security-Policy:");
    if (StartsNoCase(line, "Content-Type:")) html = StartsNoCase(TrimmedValue(line, 13), "text/html");
    pos = end + 2;
  }
  std::string added;
  if (!noSniff) added += kLHttpNoSniffHeader;
  // A page that names either keeps its own choice of both.
  if (html && !frameOptions && !policy) added += kLHttpNoFramingHeaders;
  text.insert(blank + 2, added);
  return added.size();
}

std::string LHttpHeaderSafe(std::string_view value) {
  std::string safe;
  safe.reserve(value.size());
  for (const char c : value) {
    if (c != '\r' && c != '\n') safe.push_back(c);
  }
  return safe;
}

std::string LHttpRedirectText(std::string_view url) {
  return "HTTP/1.0 302 OK\r\nLocation: " + LHttpHeaderSafe(url) + "\r\n\r\n";
}

std::string LHttpRedirectWithCookieText(std::string_view sessionId, std::string_view url, bool secure) {
  return "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + LHttpHeaderSafe(sessionId) + kLSessionCookieSuffix +
         (secure ? kLSecureCookieSuffix : "") + "\r\nLocation: " + LHttpHeaderSafe(url) + "\r\n\r\n";
}

std::string LHttpEntityTag(std::int64_t modifiedSeconds, std::int64_t size) {
  return std::to_string(modifiedSeconds) + "-" + std::to_string(size);
}

std::string LHttpFileHeader(std::int64_t size, std::string_view contentType,
                            std::string_view dateText, std::string_view entityTag) {
  std::string header = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size);
  header.append("\r\nContent-Type: ").append(contentType);
  header.append("\r\nLast-Modified: ").append(dateText);
  header.append("\r\nETag: \"").append(entityTag).append("\"\r\n\r\n");
  LHttpAddSecurityHeaders(header);
  return header;
}

// A browser sends back the tag it was given, in quotes. Finding the tag just
// anywhere would also find "5-10" inside "15-100" or "5-100", and answer
// "not modified" for a file that has changed; so the bytes around the tag
// must not continue its numbers.
bool LHttpIfNoneMatchHolds(std::string_view ifNoneMatch, std::string_view entityTag) {
  if (entityTag.empty()) return false;
  const auto continuesNumber = [](char c) { return (c >= '0' && c <= '9') || c == '-'; };
  for (std::size_t at = ifNoneMatch.find(entityTag); at != std::string_view::npos;
       at = ifNoneMatch.find(entityTag, at + 1)) {
    const std::size_t after = at + entityTag.size();
    const bool cleanBefore = at == 0 || !continuesNumber(ifNoneMatch[at - 1]);
    const bool cleanAfter = after == ifNoneMatch.size() || !continuesNumber(ifNoneMatch[after]);
    if (cleanBefore && cleanAfter) return true;
  }
  return false;
}

bool LHttpIfModifiedSinceMatches(std::string_view ifModifiedSince, std::string_view dateText) {
  return LSettingsEqualNoCase(ifModifiedSince, dateText);
}
