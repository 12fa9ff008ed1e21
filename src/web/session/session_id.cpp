#include "web/session/session_id.h"

#include <openssl/rand.h>

#include <atomic>

#include "foundation/text_limits.h"

namespace {

// The process-wide session counter; atomic so that two connection threads
// creating sessions at once never share a number.
std::atomic<unsigned> gSessionCounter{1};

// 26 does not divide 256: bytes of 234 and above would favour the first
// letters, so they are drawn again.
constexpr unsigned kUnbiasedLimit = 256 - 256 % 26;

bool AppendRandomLetters(std::string& id, std::size_t count) {
  unsigned char bytes[32];
  while (count > 0) {
    if (RAND_bytes(bytes, sizeof bytes) != 1) return false;
    for (const unsigned char byte : bytes) {
      if (count == 0) break;
      if (byte >= kUnbiasedLimit) continue;
      id.push_back(static_cast<char>('a' + byte % 26));
      --count;
    }
  }
  return true;
}

}  // namespace

std::string LWebletNewSessionId(bool longSession) {
  std::string id(1, longSession ? 'l' : 's');
  if (!AppendRandomLetters(id, kLSessionIdLetters)) {
    // Without a strong generator an id could be guessed; an empty id makes
    // the caller's session invalid instead of weak.
    return std::string();
  }
  id += std::to_string(gSessionCounter.fetch_add(1));
  return id;
}

bool LWebletSessionIdAllowed(std::string_view id) {
  if (id.size() <= 1 + kLSessionIdLetters || id.size() > kLMaxText) return false;
  if (id[0] != 'l' && id[0] != 's') return false;
  for (std::size_t i = 1; i <= kLSessionIdLetters; ++i) {
    if (id[i] < 'a' || id[i] > 'z') return false;
  }
  for (std::size_t i = 1 + kLSessionIdLetters; i < id.size(); ++i) {
    if (id[i] < '0' || id[i] > '9') return false;
  }
  return true;
}
