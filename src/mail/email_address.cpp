#include "mail/email_address.h"

#include <string_view>

namespace {

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The "atext" bytes of an unquoted local part. Quoted local parts are not
// accepted at all: their quotes and blanks would break the comma lists and
// folder names the address becomes part of.
bool IsLocalPartByte(char c) {
  static constexpr std::string_view kSpecials = "!#$%&'*+-/=?^_`{|}~";
  return IsAsciiLetterOrDigit(c) || kSpecials.find(c) != std::string_view::npos;
}

bool ValidLocalPart(std::string_view local) {
  if (local.empty() || local.size() > LEmail::kMaxLocalPart) return false;
  if (local.front() == '.' || local.back() == '.' || local.front() == '=') return false;
  char previous = '\0';
  for (char c : local) {
    if (c == '.') {
      if (previous == '.') return false;
    } else if (!IsLocalPartByte(c)) {
      return false;
    }
    previous = c;
  }
  return true;
}

bool ValidLabel(std::string_view label) {
  if (label.empty() || label.size() > LEmail::kMaxDomainLabel) return false;
  if (label.front() == '-' || label.back() == '-') return false;
  for (char c : label) {
    if (!IsAsciiLetterOrDigit(c) && c != '-') return false;
  }
  return true;
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool ValidDomain(std::string_view domain) {
  std::size_t labels = 0;
  std::string_view last;
  for (;;) {
    const std::size_t dot = domain.find('.');
    last = domain.substr(0, dot);
    if (!ValidLabel(last)) return false;
    ++labels;
    if (dot == std::string_view::npos) break;
    domain.remove_prefix(dot + 1);
  }
  // A numeric last label would make "1.2.3.4" a name; such hosts are
  // written in brackets, which no staff address needs.
  return labels >= 2 && !AllDigits(last);
}

}  // namespace

namespace LEmail {

bool ValidateAddress(std::string_view address) {
  if (address.size() > kMaxAddress) return false;
  const std::size_t at = address.find('@');
  if (at == std::string_view::npos) return false;
  const std::string_view domain = address.substr(at + 1);
  if (domain.find('@') != std::string_view::npos) return false;
  return ValidLocalPart(address.substr(0, at)) && ValidDomain(domain);
}

}  // namespace LEmail
