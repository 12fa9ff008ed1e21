#pragma once
// A stored field of a user record, as text.

#include <string>

#include "model/users.h"

// The field `key` of the user `email`, or "<none>" when there is no such user.
inline std::string KavrixUserText(const std::string& email, const LKXUserKey& key) {
  LKXUser user;
  return KXGetUser(email, user) ? user.GetText(key) : "<none>";
}
