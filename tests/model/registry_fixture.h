#pragma once
// A fresh data root per test, with the paths of the registry's files.

#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "model/core_data.h"
#include "model/users.h"
#include "support/temp_root.h"

class RegistryTest : public KavrixTempRoot {
 protected:
  std::string UsersFile() const { return SharedFolder() + "/userslist"; }
  std::string UserRecord(int id) const { return UsersFile() + "_/" + std::to_string(id); }
  std::string TeamRecord(int id) const { return SharedFolder() + "/teamlist_/" + std::to_string(id); }
  std::string HolidayRecord(int id) const { return SharedFolder() + "/publicholidaylist_/" + std::to_string(id); }
  // The archive folder of a user whose folder name is `folder`.
  std::string ArchiveFolder(const std::string& folder) const { return SharedFolder() + "/Archive/" + folder; }
  static LKXUser UserOf(std::string_view email) {
    LKXUser user;
    EXPECT_TRUE(KXGetUser(email, user)) << email;
    return user;
  }
  // Writes `rows` as the leave log of `email` for `year`.
  static void WriteLeaveLog(std::string_view email, std::string_view year, const std::string& rows) {
    std::string path;
    ASSERT_TRUE(LKXCoreData::GetUserLeaveLogCSV(email, year, path));
    ASSERT_TRUE(KavrixWriteFile(path, rows));
  }
  // The texts of `keys` of one user, each followed by "|".
  static std::string Texts(std::string_view email, std::initializer_list<LKXUserKey> keys) {
    LKXUser user;
    if (!KXGetUser(email, user)) return "<no user>";
    std::string texts;
    for (const LKXUserKey& key : keys) texts += user.GetText(key) + "|";
    return texts;
  }
};
