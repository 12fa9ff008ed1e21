#pragma once
// Expiry of web session files. A session file's modification time is the
// last request that changed the session; reading does not refresh it.
// Short sessions ("s...") go 7 days after that, long ones ("l...") 182.5
// days after it.

#include <cstdint>
#include <string>

inline constexpr std::int64_t kLShortSessionLifeSeconds = 604800;
inline constexpr std::int64_t kLLongSessionLifeSeconds = 15768000;

// Deletes every expired "*.sess" file of `folder` at `nowSeconds`. Returns
// the number deleted.
int LWebletPurgeSessionFolder(const std::string& folder, std::int64_t nowSeconds);

// The purge as requests run it: at most once per second of LDateTime::Now()
// for one folder. Listing thousands of files on every request, static files
// included, would cost more than answering the request; a session that
// expires a second later than it could is harmless.
void LWebletPurgeExpiredSessions(const std::string& folder);
