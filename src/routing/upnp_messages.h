#pragma once
// The texts of the UPnP conversation with the office router, built and read
// without sockets so that every byte the router sends can be tested and
// fuzzed on its own. Everything read here came from the network: lengths are
// bounded, nothing is trusted to be well formed. The exchange and its limits
// are described in doc/upnp_probe.md.

#include <cstddef>
#include <string>
#include <string_view>

// The SSDP search for an Internet gateway, sent to 239.255.255.250:1900.
inline constexpr std::string_view kLSSDPSearch =
    "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\nMX: 2\r\n"
    "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n";
static_assert(kLSSDPSearch.size() == 137, "routers answer only the exact search");

// The largest SSDP answer, description and SOAP answer looked at.
inline constexpr std::size_t kLUPnPMaxAnswer = 8191;
// Values (URLs, paths, addresses) longer than this are cut.
inline constexpr std::size_t kLUPnPMaxValue = 259;

inline constexpr std::string_view kLUPnPServiceIP = "WANIPConnection:1";
inline constexpr std::string_view kLUPnPServicePPP = "WANPPPConnection:1";

// The rest of the line of the header "LOCATION:" (any letter case, at the
// start of a line), without leading blanks, at most 259 bytes. False when
// the answer has none.
bool LSSDPFindLocation(std::string_view answer, std::string& url);

// "http://host[:port]/path": host (with its port when given) is the text
// after "//" up to the next "/"; the path starts at that "/" ("/" when the
// URL has none). False for any other scheme or an empty host.
bool LUPnPSplitURL(std::string_view url, std::string& host, std::string& path);

// Splits "host[:port]"; the port is `defaultPort` when none is given. False
// when the port is not a number in 1..65535.
bool LUPnPSplitHostPort(std::string_view hostPort, int defaultPort, std::string& host, int& port);

// The control path of `service` ("WANIPConnection:1") in a device
// description: the text between "<controlURL>" and the next "<" after the
// service's "<serviceType>", with XML entities decoded. False without one.
bool LUPnPFindControlURL(std::string_view description, std::string_view service,
                         std::string& controlPath);

// The value of the element that begins with `tag` ("<NewExternalIPAddress"):
// the text after the next ">" up to the next "<", entities decoded, at most
// 259 bytes. False when the tag or its ">" is missing.
bool LUPnPFieldValue(std::string_view answer, std::string_view tag, std::string& value);

// Decodes &lt; &gt; &amp; &quot; &apos; and numeric references; anything
// else that begins with "&" stays as it is.
std::string LXMLDecodeEntities(std::string_view text);

// The SOAP 1.1 envelope around "u:" + action with `arguments` inside.
std::string LUPnPSOAPBody(std::string_view service, std::string_view action,
                          std::string_view arguments);
// The whole POST request for `action` of `service` at `controlPath`.
std::string LUPnPSOAPRequest(std::string_view controlPath, std::string_view host,
                             std::string_view service, std::string_view action,
                             std::string_view arguments);
// The arguments of AddPortMapping for a TCP port.
std::string LUPnPAddPortMappingArguments(int externalPort, int internalPort,
                                         std::string_view internalClient);
// The GET request for a device description.
std::string LUPnPDescriptionRequest(std::string_view path, std::string_view host);

// The fault an answer carries ("<faultstring>" present): the error code and
// description when the router gave them, for the log. False when no fault.
bool LUPnPFindFault(std::string_view answer, std::string& text);
