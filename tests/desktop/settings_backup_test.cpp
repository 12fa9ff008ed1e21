#include "desktop/settings_backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

class SettingsBackupTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    fs::create_directories(SharedFolder());
    ASSERT_TRUE(KavrixWriteFile(SharedFolder() + "/settings", "[Settings]\nInstalled=1\n"));
    ASSERT_TRUE(KavrixWriteFile(SharedFolder() + "/email", "[Email]\nUseSMTPHost=0\n"));
    ASSERT_TRUE(KavrixWriteFile(SharedFolder() + "/routing", "[Routing]\nLocalPort=89\n"));
    source_ = TempDir() + "/backup";
    fs::create_directories(source_);
    for (const char* name : {"settings", "email", "routing", "teamlist"}) {
      ASSERT_TRUE(KavrixWriteFile(source_ + "/" + name, std::string("restored ") + name + "\n"));
    }
  }
  std::string source_;
};

// A restore failing half-way leaves the old settings as they were, with
// nothing of the backup mixed in and no scratch folder left behind.
TEST_F(SettingsBackupTest, ARestoreFailingHalfWayLeavesTheOldSettingsWhole) {
  // A folder that holds no settings is refused.
  const std::string notes = TempDir() + "/notes";
  fs::create_directories(notes);
  ASSERT_TRUE(KavrixWriteFile(notes + "/notes.txt", "x"));
  EXPECT_EQ(LSettingsRestore(notes, SharedFolder()), LSettingsRestoreResult::kNotSettings);

  // Everything copied, but one file cannot take its place: a folder of that
  // name is in the way, after some files have already been put in.
  fs::create_directories(SharedFolder() + "/zeta");
  ASSERT_TRUE(KavrixWriteFile(SharedFolder() + "/zeta/keep", "x"));
  ASSERT_TRUE(KavrixWriteFile(source_ + "/zeta", "restored zeta\n"));
  EXPECT_EQ(LSettingsRestore(source_, SharedFolder()), LSettingsRestoreResult::kFailed);
  EXPECT_EQ(KavrixFolderEntries(SharedFolder()),
            (std::vector<std::string>{"Logs", "email", "routing", "settings", "zeta"}));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/settings"), "[Settings]\nInstalled=1\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/email"), "[Email]\nUseSMTPHost=0\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/routing"), "[Routing]\nLocalPort=89\n");

  fs::remove_all(SharedFolder() + "/zeta");
  fs::remove(source_ + "/zeta");
  fs::create_directories(SharedFolder() + "/zeta");
  EXPECT_EQ(LSettingsRestore(source_, SharedFolder()), LSettingsRestoreResult::kDone);
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/teamlist"), "restored teamlist\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/routing"), "restored routing\n");
}

}  // namespace
