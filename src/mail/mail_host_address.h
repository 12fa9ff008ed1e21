#pragma once
// Where a mail server is: a relay host text ("mail.example.com",
// "192.0.2.7:2525") or the mail exchanger of a recipient's domain, found by
// a DNS MX query.

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint16_t kLSMTPPort = 25;
// The MX answer buffer; an answer that does not fit is read as truncated.
inline constexpr std::size_t kLMXAnswerBytes = 512;

// A host text split into host and port.
struct LMailHostText {
  std::string host;
  std::uint16_t port = kLSMTPPort;
};

// "host" or "host:port": a port that is missing, 0 or not a number in
// 1..65535 leaves the default 25 and the host is the text before the colon.
LMailHostText LSplitMailHost(std::string_view text);

// Domains reserved for examples and tests (".example", ".test", ".invalid",
// ".localhost", example.com, example.net, example.org and their
// sub-domains, in any letter case): they never take mail, so no lookup is
// made and nothing is sent for them. Demonstrations and test suites use
// them freely, and none of that must reach the Internet.
bool LIsReservedMailDomain(std::string_view domain);

class LIPAddressWithPort {
 public:
  // The host and port of the mail exchanger of `domain`: "host:port" with a
  // port other than 0 is taken as it stands, without a query; otherwise the
  // exchange name of the first MX record in answer order (whatever its
  // preference), or the domain itself when there is none, port 25. A
  // domain whose MX is "." takes no mail: the host is then empty.
  static LMailHostText EmailMXHost(std::string_view domain);
  // The same, resolved.
  static LIPAddressWithPort EmailMXLookup(std::string_view domain);
  // A dotted IPv4 address as it is, else the first IPv4 address of a host
  // lookup; 0.0.0.0 when the name does not resolve.
  static LIPAddressWithPort Resolve(const LMailHostText& host);

  bool IsResolved() const { return address_ != 0; }
  std::uint32_t Address() const { return address_; }  // host byte order
  std::uint16_t Port() const { return port_; }
  sockaddr_in Sockaddr() const;

 private:
  std::uint32_t address_ = 0;
  std::uint16_t port_ = kLSMTPPort;
};

// The exchange name of the first MX record of a DNS answer (the question
// entries skipped), "." for a null MX (the domain takes no mail), or ""
// when the answer is malformed or holds none.
std::string LFirstMXExchange(const unsigned char* answer, std::size_t length);
