#pragma once
// The MD5 digest the station logon compares: the password never crosses the
// network, only the digest of the challenge and the password does.

#include <string>
#include <string_view>

class LMD5 {
 public:
  // 32 lower-case hexadecimal digits of the MD5 digest of `text`; empty
  // when the digest could not be computed.
  static std::string GetMD5(std::string_view text);
};
