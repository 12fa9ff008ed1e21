#pragma once
// The user record of a station connection's user. The record is found by
// its "Email" (letter case ignored) once, and its file is checked to still
// be that user's on every later use, so a session does not read the whole
// users list for each presence message. A record deleted or renamed while
// the station is connected is noticed on the next use: writes then go
// nowhere, and a deleted record is never brought back by a write.

#include <functional>
#include <string>
#include <string_view>

#include "model/user.h"

class LKXOwnRecord {
 public:
  explicit LKXOwnRecord(std::string_view email) : email_(email) {}

  // Points `out` at the user's record; false when there is none.
  bool Find(LKXUser& out);
  // Runs `change` on the record's entries under the record's write lock,
  // only while the record is this user's; the record is saved when
  // `change` returns true. False when there is no such record.
  bool Update(const std::function<bool(LSettingsEntries&)>& change);

  const std::string& Email() const { return email_; }

  // Sets a record key inside an Update; true when the value changed.
  static bool Put(LSettingsEntries& entries, const LKXUserKey& key, std::string_view value);

 private:
  const std::string email_;
  std::string path_;  // the record file last found; checked on every use
};

// The first record whose "Email" equals `email` (letter case ignored), in
// registry order; false when there is none.
bool LKXFindUserRecord(std::string_view email, LKXUser& out);
