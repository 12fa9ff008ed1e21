#pragma once
// A stored field of a user record, as text.

#include <initializer_list>
#include <string>

#include "model/users.h"

// The field `key` of the user `email`, or "<none>" when there is no such user.
inline std::string KavrixUserText(const std::string& email, const LKXUserKey& key) {
  LKXUser user;
  return KXGetUser(email, user) ? user.GetText(key) : "<none>";
}

// Several fields of the user `email`, each followed by "|".
inline std::string KavrixUserText(const std::string& email,
                                  std::initializer_list<LKXUserKey> keys) {
  std::string out;
  for (const LKXUserKey& key : keys) out += KavrixUserText(email, key) + "|";
  return out;
}
