#include "mail/mail_host_address.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <resolv.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>

#include "engine/ip_socket_tcp.h"
#include "foundation/settings_parse.h"

namespace {

// A port text that is a whole decimal number in 1..65535; 0 otherwise.
std::uint16_t ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return 0;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

// Reads a 16-bit big-endian value; false past the end.
bool Read16(const unsigned char* at, const unsigned char* end, unsigned& out) {
  if (end - at < 2) return false;
  out = (static_cast<unsigned>(at[0]) << 8) | at[1];
  return true;
}

}  // namespace

bool LIsReservedMailDomain(std::string_view domain) {
  std::string name = LSettingsLowerCase(domain);
  while (!name.empty() && name.back() == '.') name.pop_back();
  const auto is_or_under = [&name](std::string_view zone) {
    return name == zone || (name.size() > zone.size() && name.ends_with(zone) &&
                            name[name.size() - zone.size() - 1] == '.');
  };
  for (std::string_view zone : {"example", "test", "invalid", "localhost", "example.com", "example.net", "example.org"}) {
    if (is_or_under(zone)) return true;
  }
  return false;
}

LMailHostText LSplitMailHost(std::string_view text) {
  LMailHostText out;
  const std::size_t colon = text.find(':');
  out.host = std::string(text.substr(0, colon));
  if (colon != std::string_view::npos) {
    const std::uint16_t port = ParsePort(text.substr(colon + 1));
    if (port != 0) out.port = port;
  }
  return out;
}

std::string LFirstMXExchange(const unsigned char* answer, std::size_t length) {
  if (answer == nullptr || length < HFIXEDSZ) return "";
  const unsigned char* end = answer + length;
  unsigned questions = 0, answers = 0;
  if (!Read16(answer + 4, end, questions) || !Read16(answer + 6, end, answers)) return "";
  const unsigned char* at = answer + HFIXEDSZ;
  for (unsigned i = 0; i < questions; ++i) {
    const int skip = dn_skipname(at, end);
    if (skip < 0 || end - at < skip + QFIXEDSZ) return "";
    at += skip + QFIXEDSZ;
  }
  for (unsigned i = 0; i < answers; ++i) {
    const int skip = dn_skipname(at, end);
    if (skip < 0 || end - at < skip + RRFIXEDSZ) return "";
    at += skip;
    unsigned type = 0, data_length = 0;
    if (!Read16(at, end, type) || !Read16(at + 8, end, data_length)) return "";
    at += RRFIXEDSZ;
    if (static_cast<std::size_t>(end - at) < data_length) return "";
    if (type == ns_t_mx && data_length > 2) {
      char name[NS_MAXDNAME];
      if (dn_expand(answer, end, at + 2, name, sizeof name) < 0) return "";
      return name[0] == '\0' ? "." : name;
    }
    at += data_length;
  }
  return "";
}

LMailHostText LIPAddressWithPort::EmailMXHost(std::string_view domain) {
  const std::size_t colon = domain.find(':');
  if (colon != std::string_view::npos) {
    const LMailHostText split = LSplitMailHost(domain);
    if (ParsePort(domain.substr(colon + 1)) != 0) return split;
  }
  LMailHostText out;
  out.host = std::string(domain.substr(0, colon));
  // A resolver state of this call's own: the C library's shared one is not
  // safe to use from several threads at once.
  struct __res_state state {};
  if (res_ninit(&state) != 0) return out;
  unsigned char answer[kLMXAnswerBytes];
  const int length = res_nquery(&state, out.host.c_str(), ns_c_in, ns_t_mx, answer, sizeof answer);
  res_nclose(&state);
  if (length <= 0) return out;
  const std::string exchange =
      LFirstMXExchange(answer, std::min(static_cast<std::size_t>(length), sizeof answer));
  if (exchange == ".") {
    out.host.clear();
  } else if (!exchange.empty()) {
    out.host = exchange;
  }
  return out;
}

LIPAddressWithPort LIPAddressWithPort::EmailMXLookup(std::string_view domain) {
  return Resolve(EmailMXHost(domain));
}

LIPAddressWithPort LIPAddressWithPort::Resolve(const LMailHostText& host) {
  LIPAddressWithPort out;
  out.port_ = host.port;
  in_addr dotted{};
  if (inet_pton(AF_INET, host.host.c_str(), &dotted) == 1) {
    out.address_ = ntohl(dotted.s_addr);
    return out;
  }
  if (host.host.empty()) return out;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return out;
  out.address_ = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  freeaddrinfo(found);
  return out;
}

sockaddr_in LIPAddressWithPort::Sockaddr() const { return LMakeSockaddrIPv4(address_, port_); }
