#include "model/user_email_change.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/test_helpers.h"

namespace {

class UserEmailChangeTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("Ann.Lee@x.example", "Ann", false, false, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("cy@x.example", "Cy", false, false, "", "Ann.Lee@X.example,boss@x.example", "pw"));
    std::string folder;
    ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("Ann.Lee@x.example", folder));
    ASSERT_TRUE(KavrixWriteFile(folder + "/2026-12-01_activity.csv", kLog));
  }
  static std::string UserText(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }
  LKXEmailChange Change(const std::string& from, const std::string& to, std::function<void()> stop = {}) {
    calls_ = 0;
    return KXChangeUserEmailAndFolder(from, to, [&] { ++calls_; if (stop) stop(); }, folder_);
  }
  // Ann's name, folder and place in Cy's managers, as text.
  std::string AnnAsBefore() {
    return UserText("Ann.Lee@x.example", kKXUserName) + "|" +
           KavrixReadFile(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv") + "|" +
           UserText("cy@x.example", kKXUserManager);
  }
  static constexpr const char* kLog = "09:00:00,60,0,1,2,\"a\",\"b\"\r\n";
  int calls_ = 0;
  std::string folder_;
};

TEST_F(UserEmailChangeTest, MovesFolderRecordListsAndSettingsTogether) {
  ASSERT_TRUE(LSettingSetString("Email", "ReplyToEmail", "ANN.LEE@x.example"));
  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", "ann.lee@x.example"));
  EXPECT_EQ(Change("ann.lee@x.example", "Ann.Berg@Y.example"), LKXEmailChange::kDone);
  EXPECT_EQ(std::to_string(calls_) + folder_, "1annberg@yexample");
  EXPECT_FALSE(KavrixFileExists(ArchiveFolder("annlee@xexample")));
  EXPECT_EQ(KavrixReadFile(ArchiveFolder("annberg@yexample") + "/2026-12-01_activity.csv"), kLog);
  EXPECT_EQ(UserText("Ann.Berg@Y.example", kKXUserName) + "|" + UserText("cy@x.example", kKXUserManager) + "|" +
                LSettingGetString("Email", "ReplyToEmail") + "|" + LSettingGetString("Settings", "PrimaryUser"),
            "Ann|Ann.Berg@Y.example,boss@x.example|Ann.Berg@Y.example|Ann.Berg@Y.example");
  // Settings naming others are kept; Cy never had a folder, and none is made.
  ASSERT_TRUE(LSettingSetString("Email", "ReplyToEmail", "boss@x.example"));
  EXPECT_EQ(Change("cy@x.example", "cyrus@x.example"), LKXEmailChange::kDone);
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail"), "boss@x.example");
  EXPECT_FALSE(KavrixFileExists(ArchiveFolder("cyrus@xexample")));
}

// Letter case and full stops do not count in folder names: the user keeps
// the folder, which a check for "exists" alone would have refused.
TEST_F(UserEmailChangeTest, OwnFolderUnderAnotherSpellingIsNoObstacle) {
  EXPECT_EQ(Change("Ann.Lee@x.example", "annlee@X.example"), LKXEmailChange::kDone);
  EXPECT_EQ(calls_, 1);
  EXPECT_EQ(UserText("annlee@x.example", kKXUserEmail), "annlee@X.example");
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
}

// Refusals change nothing. Cy has no folder, so only the registry knows the
// address is taken; a folder made while the stations stop (an empty one, which
// a plain rename would silently replace) ends the change too.
TEST_F(UserEmailChangeTest, RefusalsChangeNothing) {
  const std::string before = AnnAsBefore();
  ASSERT_EQ(mkdir(ArchiveFolder("gone@xexample").c_str(), 0777), 0);
  ASSERT_TRUE(KavrixWriteFile(ArchiveFolder("gone@xexample") + "/2025_leave.csv", "old"));
  const std::string late = ArchiveFolder("late@xexample");
  struct Case { const char *from, *to; LKXEmailChange result; int calls; bool make_late; } cases[] = {
      {"nobody@x.example", "new@x.example", LKXEmailChange::kNoSuchUser, 0, false},
      {"Ann.Lee@x.example", "CY@x.example", LKXEmailChange::kAddressTaken, 0, false},
      {"Ann.Lee@x.example", "Gone@X.example", LKXEmailChange::kFolderExists, 0, false},
      {"Ann.Lee@x.example", "late@x.example", LKXEmailChange::kFolderExists, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_EQ(Change(c.from, c.to, [&] { EXPECT_TRUE(!c.make_late || mkdir(late.c_str(), 0777) == 0); }), c.result);
    EXPECT_EQ(calls_, c.calls);
    EXPECT_EQ(AnnAsBefore(), before);
    EXPECT_EQ(UserText("cy@x.example", kKXUserName), "Cy");
  }
  EXPECT_EQ(folder_, "late@xexample");
  EXPECT_TRUE(KavrixFolderEntries(late).empty());
  EXPECT_EQ(KavrixReadFile(ArchiveFolder("gone@xexample") + "/2025_leave.csv"), "old");
}

}  // namespace
