#pragma once
// The end of a user's web sessions when the password changes: whoever
// logged on with the old password, elsewhere, must not stay logged on.
// Sessions of station connections stay; a station logs on again with the
// password's digest when it next connects.

#include <string_view>

// Deletes every web session whose "user" is `email` (letter case aside),
// except the session `keepId` (empty: none kept). Returns how many ended.
int LWebletEndUserSessions(std::string_view email, std::string_view keepId);
