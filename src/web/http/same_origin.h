#pragma once
// Forms of the panel change data only when posted from the panel itself.
// Browsers name the page a form was sent from in "Origin" (or, older ones,
// in "Referer"); a POST naming another site than the one it was sent to
// (its "Host") is refused, whatever its cookie says: the session cookie's
// SameSite rule alone is not kept by every browser. A request with neither
// header is accepted: stations and old browsers send none.

#include <string>
#include <string_view>

class LWebletForm;

// The answer to a refused post: a complete response, sent as it is, with
// the headers every page carries (http_responses.h).
inline constexpr char kLHttpForeignOriginRefused[] =
    "HTTP/1.0 403 Forbidden\r\nContent-Type: text/html\r\nX-Content-Type-Options: nosniff\r\n"
    "X-Frame-Options: DENY\r\nContent-Security-Policy: frame-ancestors 'none'\r\n\r\n"
    "<html><body><center>This form was sent from another web site and has been refused. Please "
    "open the page from this server and send the form again.</center></body></html>";

// The "host[:port]" of an Origin or Referer value ("scheme://host[:port]..."),
// lower-cased, with the scheme's default port (80, or 443 for https) left
// off; empty when the value names no host (for example "null").
std::string LWebletOriginHost(std::string_view url);
// The Host header in the same form (lower-cased, ":80" left off, or ":443"
// when the request came over HTTPS).
std::string LWebletHostHeaderHost(std::string_view host, bool secure = false);
// True when an Origin or Referer value names the https scheme.
bool LWebletOriginIsHttps(std::string_view url);

// True when the form may be handled: not a POST, or a POST whose Origin (or,
// without Origin, Referer) names the request's own host, or one with
// neither. On the HTTPS port the sender must be an https page as well: a
// plain page of the same host is another origin, which anyone on the
// network can forge. (On the plain port the scheme is not compared, so that
// a proxy that ends HTTPS in front of it keeps working.) Otherwise logs the refusal, sends kLHttpForeignOriginRefused and
// returns false.
bool WLCheckSameOrigin(LWebletForm& form);
