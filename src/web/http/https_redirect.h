#pragma once
// The plain port's answer while HTTPS is on: the same path and query on the
// HTTPS port of the host the browser asked for. 307 keeps the method, so a
// form posted to an old address is posted again over HTTPS; it is not
// permanent, so browsers do not keep it once HTTPS is switched off.

#include <cstdint>
#include <string>
#include <string_view>

// "HTTP/1.1 307 Temporary Redirect", "Location: https://<host>[:<port>]<url>"
// (the port left off when it is 443), no body. `hostHeader` is the request's
// Host; its own port is dropped, and a Host that is no plain name, IPv4 or
// bracketed IPv6 address is replaced by this machine's address. `url` is the
// request target as sent ("/" and query string).
std::string LHttpsRedirectText(std::string_view hostHeader, std::uint16_t httpsPort, std::string_view url);

// The host part of a Host header: its port dropped; empty when what is left
// holds a character no host name or address has.
std::string LHttpsRedirectHost(std::string_view hostHeader);
