#pragma once
// The fixed response texts of the web server and the builders of the few
// responses that carry values. Handlers send these bytes exactly.

#include <cstdint>
#include <string>
#include <string_view>

// Texts sent straight to the socket carry "nosniff" themselves; everything
// a page handler writes gets it from its response (weblet_response.h).
inline constexpr char kLHttpNotImplemented[] =
    "HTTP/1.1 501 Not Implemented\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
inline constexpr char kLHttpNotFoundClose[] =
    "HTTP/1.1 404 Not Found\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
inline constexpr char kLHttpContentTooLong[] =
    "HTTP/1.1 500 Content Length Too Long\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
// A body refused because the server holds as many body bytes as it will.
inline constexpr char kLHttpBodiesBusy[] =
    "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nRetry-After: 10\r\nContent-Length: 0\r\n"
    "X-Content-Type-Options: nosniff\r\n\r\n";
// A missing static file: the connection stays usable for the next request.
inline constexpr char kLHttpNotFoundEmpty[] =
    "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nX-Content-Type-Options: nosniff\r\n\r\n";
// An answer with nothing to show: the browser stays on the page it has.
inline constexpr char kLHttpNoContent[] =
    "HTTP/1.1 204 No Content\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
// The head of a refused download; a short plain text says why.
inline constexpr char kLHttpForbiddenText[] =
    "HTTP/1.1 403 Forbidden\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/plain; "
    "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\n\r\n";
inline constexpr char kLHttpNotModified[] =
    "HTTP/1.1 304 Not Modified\r\nX-Content-Type-Options: nosniff\r\n\r\n";
// The header of a static file: size, type, time text, entity tag.
inline constexpr char kLHttpFileHeaderFormat[] =
    "HTTP/1.1 200 OK\r\nContent-Length: %d\r\nContent-Type: %s\r\nLast-Modified: %s\r\nETag: "
    "\"%s\"\r\n\r\n";
inline constexpr char kLHttpRedirectFormat[] = "HTTP/1.0 302 OK\r\nLocation: %s\r\n\r\n";

// The header every page response begins with, with the headers every page
// carries (no sniffing, no framing by other sites).
inline constexpr char kLHttpPageHeader[] =
    "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: "
    "text/html; charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nX-Frame-Options: DENY\r\n"
    "Content-Security-Policy: frame-ancestors 'none'\r\n\r\n";
// Session id, cookie suffix, target page.
inline constexpr char kLHttpRedirectWithCookieFormat[] =
    "HTTP/1.0 302 OK\r\nSet-Cookie: sess=%s%s\r\nLocation: %s\r\n\r\n";
// Every session cookie carries this suffix: scripts of a page cannot read
// the session id, and other sites cannot post with it. No expiry: the
// browser forgets the cookie when it closes.
inline constexpr char kLSessionCookieSuffix[] = "; HttpOnly; SameSite=Lax";
// Added on the HTTPS port: the browser never sends the cookie in clear text.
inline constexpr char kLSecureCookieSuffix[] = "; Secure";
// What a station connection receives before the station protocol starts.
inline constexpr char kLHttpStationConnect[] =
    "HTTP/1.0 200 OK\r\nCache-Control: no-cache\r\nContent-Type: application/octet-stream\r\n\r\n";

// Every answer says "X-Content-Type-Options: nosniff": a browser then takes
// a download or a picture for what its Content-Type says, never for a page
// or a script. An HTML page also says that no other site may show it inside
// a frame of its own, where a click on the panel could be made to look like
// a click on something else.
inline constexpr char kLHttpNoSniffHeader[] = "X-Content-Type-Options: nosniff\r\n";
inline constexpr char kLHttpNoFramingHeaders[] =
    "X-Frame-Options: DENY\r\nContent-Security-Policy: frame-ancestors 'none'\r\n";
// Adds those headers to the head at the start of `text` (status line to
// blank line, body bytes may follow), each only when the head lacks it. A
// text without a complete head is left alone. The bytes added.
std::size_t LHttpAddSecurityHeaders(std::string& text);

// A header value with its CR and LF bytes dropped. Redirect targets and
// cookie values are built from form fields; without this a field could end
// the header line and add headers (or a body) of its own choosing.
std::string LHttpHeaderSafe(std::string_view value);

// kLHttpRedirectFormat with the URL inserted unescaped (CR and LF dropped).
std::string LHttpRedirectText(std::string_view url);
// kLHttpRedirectWithCookieFormat with kLSessionCookieSuffix (and
// kLSecureCookieSuffix when `secure`): the logon pages hand a browser its
// session this way (CR and LF dropped from both values).
std::string LHttpRedirectWithCookieText(std::string_view sessionId, std::string_view url, bool secure);

// The entity tag "%d-%d" of a file's modification time and size.
std::string LHttpEntityTag(std::int64_t modifiedSeconds, std::int64_t size);
// kLHttpFileHeaderFormat filled in; the size is written in full even beyond
// the range of int.
std::string LHttpFileHeader(std::int64_t size, std::string_view contentType,
                            std::string_view dateText, std::string_view entityTag);

// True when the If-None-Match value holds the entity tag as a whole: the tag
// must not be part of a longer number (see the .cpp for why).
bool LHttpIfNoneMatchHolds(std::string_view ifNoneMatch, std::string_view entityTag);
// True when the If-Modified-Since value equals the time text, ignoring case.
bool LHttpIfModifiedSinceMatches(std::string_view ifModifiedSince, std::string_view dateText);
