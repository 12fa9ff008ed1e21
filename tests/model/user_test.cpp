#include "model/user.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/settings_sections.h"
#include "model/registry_lists.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

using UserTest = RegistryTest;

}  // namespace

TEST_F(UserTest, IdentifyUserAcceptsThePasswordOrAnUnusedOldOne) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "new1"));
  LKXUser ann = UserOf("ann@x.example");
  ASSERT_TRUE(ann.SetText(kKXUserOldPassword, "old1"));
  ASSERT_TRUE(ann.SetFlag(kKXUserPasswordReq, true));
  EXPECT_FALSE(ann.IdentifyUser("ann@x.example", "NEW1") || ann.IdentifyUser("bob@x.example", "new1"));
  // The old password, still unused, wins back its place.
  EXPECT_TRUE(ann.IdentifyUser("ANN@x.example", "old1"));
  EXPECT_TRUE(ann.GetText(kKXUserPassword) == "old1" && ann.GetString("PasswordReq") == "0");
  EXPECT_FALSE(ann.TestFieldExists("OldPassword") || ann.IdentifyUser("ann@x.example", "new1"));
  // A user added without a password cannot log on with an empty one.
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "", ""));
  EXPECT_FALSE(UserOf("bob@x.example").IdentifyUser("bob@x.example", ""));
}

TEST_F(UserTest, ManagersAreFoundThroughEveryUsersManagerList) {
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", ""));
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", ""));  // managed by boss
  ASSERT_TRUE(KXAddUser("lead@x.example", "Lead", false, false, "", "boss@x.example", ""));
  ASSERT_TRUE(KXAddUser("self@x.example", "Self", false, false, "", "\"x@y.example\", SELF@x.example", ""));
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "x@y.example , lead@x.example ", ""));
  // manager, user, manager of someone, manager of the user
  const std::tuple<const char*, const char*, bool, bool> cases[] = {
      {"boss@x.example", "ANN@x.example", true, true}, {"lead@x.example", "bob@x.example", true, true},
      {"self@x.example", "nobody@x.example", true, false}, {"lead@x.example", "ann@x.example", true, false},
      {"ann@x.example", "bob@x.example", false, false},
  };
  for (const auto& [email, of, is_manager, manages] : cases) {
    LKXUser manager = UserOf(email);
    EXPECT_EQ(std::pair(KXIsManager(manager), KXIsManagerOf(manager, of)), std::pair(is_manager, manages)) << email;
  }
  LKXUser nobody;  // a record without an address manages no one
  EXPECT_FALSE(KXIsManager(nobody));
}

// A day is worked with an activity or manual log of its date; it is on
// leave within a record's whole days, whatever its approval, never by a line
// without a start.
TEST_F(UserTest, WorkedAndLeaveDaysAreReadFromTheLogs) {
  KavrixScopedTimeZone zone("UTC0");
  ASSERT_TRUE(KXAddUser("Ann.Smith@X.example", "Ann", false, false, "", "", "p"));
  LKXUser ann = UserOf("ann.smith@x.example");
  const std::string folder = ArchiveFolder("annsmith@xexample");
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(KavrixWriteFile(folder + "/2009-06-10_activity.csv", "08:00:00,60,0,1,1,\"a\",\"b\"\r\n"));
  ASSERT_TRUE(KavrixWriteFile(folder + "/2009-06-11_manual.csv", ""));
  WriteLeaveLog("ann.smith@x.example", "2009",
                "2009-06-15,2009-06-17,holiday,\"trip\",0,\"ann@x.example\"\r\n"
                "garbage line\n"
                ",2009-07-01,sick,\"\",1,\"\"\r\n"
                "2009-12-28,2009-12-31,sick,\"\",-1,\"\"\n");
  struct Case { const char* date; const char* time; bool worked; bool on_leave; };
  const Case cases[] = {
      {"2009-06-10", "23:59:59", true, false}, {"2009-06-11", "00:00:00", true, false},
      {"2009-06-14", "23:59:59", false, false}, {"2009-06-17", "23:59:59", false, true},
      {"2009-07-01", "12:00:00", false, false}, {"2009-12-31", "18:00:00", false, true},
  };
  for (const Case& c : cases) {
    const LDateTime at = KavrixAt(c.date, c.time);
    EXPECT_EQ(std::pair(ann.HasWorkedOnDate(at), ann.HasLeaveFormOnDate(at)), std::pair(c.worked, c.on_leave))
        << c.date << " " << c.time;
  }
  EXPECT_FALSE(ann.HasWorkedOnDate(LDateTime()));
}
