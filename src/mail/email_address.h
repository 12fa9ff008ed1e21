#pragma once
// Whether a typed text can serve as a staff member's e-mail address. The
// address is the user's key, the name of the user's archive folder, an item
// of comma lists ("Manager") and the recipient of the password e-mail, so
// the check is strict: an address it accepts can be stored, listed, put into
// a URL or a page and mailed without any further care.
//
// LEmail is a namespace rather than a class so that the other e-mail
// operations can join it from their own headers.

#include <cstddef>
#include <string_view>

namespace LEmail {

// RFC 5321 limits: the whole address fits the 256-byte path of an SMTP
// command with its angle brackets, the local part 64 bytes, a domain label
// 63 bytes.
inline constexpr std::size_t kMaxAddress = 254;
inline constexpr std::size_t kMaxLocalPart = 64;
inline constexpr std::size_t kMaxDomainLabel = 63;

// True for "local@domain" where:
// - the local part is 1 to 64 bytes of letters, digits and
//   ! # $ % & ' * + - / = ? ^ _ ` { | } ~ and full stops, with no full stop
//   at either end nor two in a row, and does not begin with "=" (the
//   settings store drops leading "=" signs, which would store another
//   address than the one checked);
// - there is exactly one "@";
// - the domain has at least two labels separated by full stops, no empty
//   label (so no leading, trailing or double full stop), each label 1 to 63
//   letters, digits or hyphens that neither begins nor ends with a hyphen,
//   and a last label that is not all digits;
// - the whole is at most 254 bytes.
// Blanks, control bytes, quotes, commas, angle brackets and bytes above 127
// are refused anywhere: the mail delivery speaks plain SMTP, without the
// extension for UTF-8 addresses. Callers trim typed text first.
bool ValidateAddress(std::string_view address);

}  // namespace LEmail
