#pragma once
// Personal API tokens: 128 random bits from OpenSSL, shown to their owner
// once as 32 hex digits. The record keeps only the token's SHA-256, so a
// copy of the registry gives no one a working token. A token lasts
// kKXApiTokenLifeDays days from its creation; a new one replaces the old.

#include <string>
#include <string_view>

#include "model/user.h"

inline constexpr int kKXApiTokenBytes = 16;
inline constexpr int kKXApiTokenLifeDays = 365;

// The SHA-256 of `token` as 64 lower-case hex digits.
std::string KXApiTokenHash(std::string_view token);

// A new token for `user`, replacing any old one; false (and the old token
// kept) when the generator or the record write failed.
[[nodiscard]] bool KXCreateApiToken(LKXUser& user, std::string& token);
void KXRevokeApiToken(LKXUser& user);
bool KXHasApiToken(LKXUser& user);
// When the user's token was made ("YYYY-MM-DD HH:MM:SS"); empty for none.
std::string KXApiTokenCreated(LKXUser& user);

enum class LKXApiTokenCheck { kValid, kUnknown, kExpired };
// The owner of `token`, opened into `owner` when the result is kValid.
// Every stored hash is compared in full and in constant time.
LKXApiTokenCheck KXFindApiTokenOwner(std::string_view token, LKXUser& owner);
