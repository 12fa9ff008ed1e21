#include "model/user_email_change.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "model/core_data.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/test_helpers.h"

namespace {

class UserEmailChangeTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("Ann.Lee@x.example", "Ann", false, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("cy@x.example", "Cy", false, false, "", "Ann.Lee@X.example", "pw"));
    std::filesystem::create_directories(ArchiveFolder("annlee@xexample"));
    ASSERT_TRUE(KavrixWriteFile(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv", kLog));
  }
  LKXEmailChange Change(const std::string& to, std::function<void()> stop = [] {}) {
    return KXChangeUserEmailAndFolder("Ann.Lee@x.example", to, [&] { ++calls_, stop(); }, folder_);
  }
  // Ann's name, folder and place in Cy's managers, as text.
  std::string AnnAsBefore() {
    return Texts("Ann.Lee@x.example", {kKXUserName}) +
           KavrixReadFile(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv") +
           Texts("cy@x.example", {kKXUserManager});
  }
  static constexpr const char* kLog = "09:00:00,60,0,1,2,\"a\",\"b\"\r\n";
  int calls_ = 0;
  std::string folder_;
};

// Letter case and full stops do not count in folder names: the user keeps
// the folder, which a check for "exists" alone would have refused.
TEST_F(UserEmailChangeTest, OwnFolderUnderAnotherSpellingIsNoObstacle) {
  EXPECT_EQ(Change("annlee@X.example"), LKXEmailChange::kDone);
  EXPECT_EQ(calls_, 1);
  EXPECT_EQ(Texts("annlee@x.example", {kKXUserEmail}), "annlee@X.example|");
  EXPECT_TRUE(KavrixFileExists(ArchiveFolder("annlee@xexample") + "/2026-12-01_activity.csv"));
}

// A folder of the new name made while the stations stop (an empty one,
// which a plain rename would silently replace) ends the change.
TEST_F(UserEmailChangeTest, FolderAppearingDuringTheStopIsNotReplaced) {
  const std::string before = AnnAsBefore(), late = ArchiveFolder("late@xexample");
  EXPECT_EQ(Change("late@x.example", [&] { EXPECT_EQ(mkdir(late.c_str(), 0777), 0); }),
            LKXEmailChange::kFolderExists);
  EXPECT_TRUE(calls_ == 1 && KavrixFolderEntries(late).empty());
  EXPECT_EQ(AnnAsBefore(), before);
}

}  // namespace
