#pragma once
// The field that switches the panel's HTTPS listener on (a port) or off (0),
// on the routing page and on the setup wizard's last page.

#include <string>
#include <string_view>

inline constexpr char kKXHttpsPortLabel[] = "HTTPS port (0 = off)";
inline constexpr char kKXHttpsPortInvalid[] =
    "The HTTPS port is invalid: enter 0 to leave HTTPS off, or a port from 1 to 65535 other than the server's port. "
    "Please try again.";
// Under the field: what switching it on does.
inline constexpr char kKXHttpsPortNote[] =
    "With an HTTPS port the panel is served encrypted there, and the server port sends browsers to it; KavrixStation "
    "keeps using the server port. Without a certificate of the office's own the server makes one and writes its "
    "fingerprint to the system log.";

// A typed HTTPS port: empty or 0 is 0 (off); otherwise 1 to 65535 that is
// not `localPort`. -1 when it is none of these.
int KXHttpsPortIn(std::string_view text, int localPort);
// Stores "Routing"/"HttpsPort" when `port` differs from it; true when it did
// (the listeners must then be restarted).
bool KXStoreHttpsPort(int port);
// "https://<host>[:port]/mainpage": where the panel answers over HTTPS for a
// browser that reached it under the Host `hostHeader`.
std::string KXHttpsMainPageAddress(std::string_view hostHeader, int port);
