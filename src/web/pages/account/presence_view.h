#pragma once
// What others may see of a user's live station state: the read API's
// presence call and the main page's "Today" panel show the same.

#include "model/user.h"

// "offline", "private", "active" or "idle".
const char* KXPresenceStateName(bool connected, LKXUser& user);

// Whether others may read the user's application and window caption: the
// organisation shows all (0), none (-1) or leaves it to each user's
// "ShowDetails" (1). Private time never shows one, as the stations show "*"
// for it.
bool KXPresenceCaptionShown(LKXUser& user, bool connected);
