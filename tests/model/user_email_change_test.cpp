#include "model/user_email_change.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "registry_fixture.h"
#include "support/test_helpers.h"
#include "model/users.h"

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
    ASSERT_TRUE(KavrixWriteFile(folder + "/2026-12-01_activity.csv", "09:00:00,60,0,1,2,\"a\",\"b\"\r\n"));
  }

  static std::string UserText(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }

  LKXEmailChange Change(const std::string& from, const std::string& to) {
    calls_ = 0;
    return KXChangeUserEmailAndFolder(from, to, [this] { ++calls_; }, folder_);
  }

  int calls_ = 0;
  std::string folder_;
};

TEST_F(UserEmailChangeTest, MovesFolderRecordListsAndSettingsTogether) {
  ASSERT_TRUE(LSettingSetString("Email", "ReplyToEmail", "ANN.LEE@x.example"));
  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", "ann.lee@x.example"));
  EXPECT_EQ(Change("ann.lee@x.example", "Ann.Berg@Y.example"), LKXEmailChange::kDone);
  EXPECT_EQ(calls_, 1);
  EXPECT_EQ(folder_, "annberg@yexample");
  EXPECT_FALSE(KavrixFileExists(ArchiveFolder("annlee@xexample")));
  EXPECT_EQ(KavrixReadFile(ArchiveFolder("annberg@yexample") + "/2026-12-01_activity.csv"),
            "09:00:00,60,0,1,2,\"a\",\"b\"\r\n");
  EXPECT_EQ(UserText("Ann.Berg@Y.example", kKXUserName), "Ann");
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "Ann.Berg@Y.example,boss@x.example");
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail"), "Ann.Berg@Y.example");
  EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), "Ann.Berg@Y.example");
}

TEST_F(UserEmailChangeTest, SettingsNamingOthersAreKept) {
  ASSERT_TRUE(LSettingSetString("Email", "ReplyToEmail", "boss@x.example"));
  EXPECT_EQ(Change("cy@x.example", "cyrus@x.example"), LKXEmailChange::kDone);
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail"), "boss@x.example");
  EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), "");
  // Cy never had a folder: nothing to move, and none is made.
  EXPECT_FALSE(KavrixFileExists(ArchiveFolder("cyrus@xexample")));
}

TEST_F(UserEmailChangeTest, RefusesAnExistingFolderAndChangesNothing) {
  ASSERT_EQ(mkdir(ArchiveFolder("gone@xexample").c_str(), 0777), 0);
  ASSERT_TRUE(KavrixWriteFile(ArchiveFolder("gone@xexample") + "/2025_leave.csv", "old"));
  EXPECT_EQ(Change("Ann.Lee@x.example", "Gone@X.example"), LKXEmailChange::kFolderExists);
  EXPECT_EQ(folder_, "gone@xexample");
  EXPECT_EQ(calls_, 0);
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
  EXPECT_EQ(KavrixReadFile(ArchiveFolder("gone@xexample") + "/2025_leave.csv"), "old");
  EXPECT_EQ(UserText("Ann.Lee@x.example", kKXUserName), "Ann");
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "Ann.Lee@X.example,boss@x.example");
}

TEST_F(UserEmailChangeTest, OwnFolderUnderAnotherSpellingIsNoObstacle) {
  // Letter case and full stops do not count in folder names: the user keeps
  // the folder, which a check for "exists" alone would have refused.
  EXPECT_EQ(Change("Ann.Lee@x.example", "annlee@X.example"), LKXEmailChange::kDone);
  EXPECT_EQ(calls_, 1);
  EXPECT_EQ(UserText("annlee@x.example", kKXUserEmail), "annlee@X.example");
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
}

TEST_F(UserEmailChangeTest, RefusesUnknownUserAndAnotherUsersAddress) {
  EXPECT_EQ(Change("nobody@x.example", "new@x.example"), LKXEmailChange::kNoSuchUser);
  // Cy has no folder, so only the registry knows the address is taken.
  EXPECT_EQ(Change("Ann.Lee@x.example", "CY@x.example"), LKXEmailChange::kAddressTaken);
  EXPECT_EQ(calls_, 0);
  EXPECT_EQ(UserText("Ann.Lee@x.example", kKXUserName), "Ann");
  EXPECT_EQ(UserText("cy@x.example", kKXUserName), "Cy");
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
}

TEST_F(UserEmailChangeTest, FolderAppearingDuringTheStopIsNotReplaced) {
  // A folder of the new name made while the stations stop (an empty one,
  // which a plain rename would silently replace) ends the change.
  const std::string late = ArchiveFolder("late@xexample");
  const LKXEmailChange result = KXChangeUserEmailAndFolder(
      "Ann.Lee@x.example", "late@x.example", [&] { ASSERT_EQ(mkdir(late.c_str(), 0777), 0); }, folder_);
  EXPECT_EQ(result, LKXEmailChange::kFolderExists);
  EXPECT_TRUE(KavrixFolderEntries(late).empty());
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
  EXPECT_EQ(UserText("Ann.Lee@x.example", kKXUserName), "Ann");
}

}  // namespace
