#pragma once
// Who is logged on in a request, in which roles, and the session checks the
// page handlers make before they write anything.

#include <string>
#include <string_view>

#include "model/user.h"

class LWebletForm;

// Opens the record of the session's "user" (letter case ignored) into
// `user`; false when the session names nobody or the user is gone.
bool KXGetCurrentUser(LWebletForm& form, LKXUser& user);
// The session's "user" (cut to 259 bytes) when it names an existing user;
// else `email` is emptied and the result is false.
bool KXGetCurrentUserEmail(LWebletForm& form, std::string& email);

// Roles of the current user; all false without one.
bool KXIsCurrentUserManager(LWebletForm& form);
bool KXIsCurrentUserAccountant(LWebletForm& form);
bool KXIsCurrentUserAdministator(LWebletForm& form);

// Hands a value to exactly one later request: `out` gets the session value
// `name` (cut to 259 bytes), or `defaultValue` when it is absent or empty,
// and the value is deleted from the session.
void WLWithdrawSessData(LWebletForm& form, std::string_view name, std::string& out,
                        std::string_view defaultValue);
