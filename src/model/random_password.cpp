#include "model/random_password.h"

#include <openssl/rand.h>

namespace {

constexpr int kLetters = 26;
// The largest multiple of 26 that fits a byte: bytes from here up would
// make the first letters likelier than the rest, so they are drawn again.
constexpr int kUnbiasedLimit = 256 - 256 % kLetters;  // 234

}  // namespace

bool LGenRandomPassword(std::string& out) {
  out.clear();
  unsigned char bytes[32];
  // Nine in ten bytes are kept, so one batch nearly always does; a few
  // more rounds make a failure to fill six letters practically impossible.
  for (int round = 0; round < 8 && static_cast<int>(out.size()) < kLRandomPasswordLength; ++round) {
    if (RAND_bytes(bytes, sizeof(bytes)) != 1) break;
    for (unsigned char byte : bytes) {
      if (byte >= kUnbiasedLimit) continue;
      out += static_cast<char>('a' + byte % kLetters);
      if (static_cast<int>(out.size()) == kLRandomPasswordLength) break;
    }
  }
  if (static_cast<int>(out.size()) == kLRandomPasswordLength) return true;
  out.clear();
  return false;
}
