#include "model/api_token.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include "model/registry_lists.h"
#include "model/users.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(const unsigned char* bytes, std::size_t size) {
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    hex.push_back(kHexDigits[bytes[i] >> 4]);
    hex.push_back(kHexDigits[bytes[i] & 15]);
  }
  return hex;
}

bool IsTokenText(std::string_view token) {
  if (token.size() != 2 * kKXApiTokenBytes) return false;
  for (char c : token) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

bool Expired(const std::string& created) {
  LDateTime made;
  const std::size_t space = created.find(' ');
  if (space == std::string::npos || !made.SetDateTime(created.substr(0, space), created.substr(space + 1))) {
    return true;
  }
  if (!made.AddCalendarDays(kKXApiTokenLifeDays)) return true;
  return LDateTime::Now() >= made;
}

}  // namespace

std::string KXApiTokenHash(std::string_view token) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(token.data(), token.size(), digest, &size, EVP_sha256(), nullptr) != 1) return {};
  return Hex(digest, size);
}

bool KXCreateApiToken(LKXUser& user, std::string& token) {
  unsigned char bytes[kKXApiTokenBytes];
  if (RAND_bytes(bytes, sizeof(bytes)) != 1) return false;
  const std::string fresh = Hex(bytes, sizeof(bytes));
  const std::string hash = KXApiTokenHash(fresh);
  const LDateTime now = LDateTime::Now();
  if (hash.empty() || !user.SetText(kKXUserApiTokenHash, hash) ||
      !user.SetText(kKXUserApiTokenCreated, now.GetDateText() + " " + now.GetTimeText())) {
    return false;
  }
  token = fresh;
  return true;
}

void KXRevokeApiToken(LKXUser& user) {
  user.SetText(kKXUserApiTokenHash, "");
  user.SetText(kKXUserApiTokenCreated, "");
}

bool KXHasApiToken(LKXUser& user) { return !user.GetText(kKXUserApiTokenHash).empty(); }

std::string KXApiTokenCreated(LKXUser& user) { return user.GetText(kKXUserApiTokenCreated); }

LKXApiTokenCheck KXFindApiTokenOwner(std::string_view token, LKXUser& owner) {
  if (!IsTokenText(token)) return LKXApiTokenCheck::kUnknown;
  const std::string hash = KXApiTokenHash(token);
  if (hash.empty()) return LKXApiTokenCheck::kUnknown;
  std::string found, created;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const std::string stored = it.Get().GetText(kKXUserApiTokenHash);
    if (stored.size() == hash.size() && CRYPTO_memcmp(stored.data(), hash.data(), hash.size()) == 0) {
      found = it.Get().GetEmail();
      created = it.Get().GetText(kKXUserApiTokenCreated);
    }
  }
  if (found.empty() || !KXGetUser(found, owner)) return LKXApiTokenCheck::kUnknown;
  return Expired(created) ? LKXApiTokenCheck::kExpired : LKXApiTokenCheck::kValid;
}
