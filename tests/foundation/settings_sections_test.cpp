#include "foundation/settings_sections.h"

#include <stdlib.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "foundation/test_hooks.h"
#include "fork_helpers.h"
#include "support/temp_root.h"

class SettingsSectionsTest : public KavrixTempRoot {};

TEST_F(SettingsSectionsTest, SectionsAreLowerCaseFilesOfTheSharedFolder) {
  EXPECT_TRUE(LSettingSetString("Routing", "LocalPort", "8089"));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/routing"), "localport=8089\r\n");
  EXPECT_EQ(LSettingGetInt("ROUTING", "localport", 89), 8089);
  EXPECT_EQ(LSettingGetInt("Routing", "Missing", 89), 89);
  EXPECT_EQ(LSettingGetString("routing", "LOCALPORT"), "8089");
  std::string out;
  EXPECT_TRUE(_LSettingGetString("Routing", "LocalPort", "89", out));
  EXPECT_EQ(out, "8089");
  EXPECT_FALSE(_LSettingGetString("Routing", "Other", "dflt", out));
  EXPECT_EQ(out, "dflt");
  EXPECT_TRUE(LSettingTestFieldExists("routing", "LocalPort"));
  EXPECT_EQ(LLocalSettings::Global().GetFolder(), SharedFolder());
}

TEST_F(SettingsSectionsTest, TypedHelpersAndNullRemoval) {
  EXPECT_TRUE(LSettingSetBool("Settings", "WelcomeEmail", true));
  EXPECT_TRUE(LSettingSetInt("Settings", "DefaultWorkHours", 38));
  EXPECT_TRUE(LSettingGetBool("Settings", "WelcomeEmail", false));
  EXPECT_TRUE(LSettingGetBool("Settings", "Absent", true));
  EXPECT_EQ(LSettingGetInt("Settings", "DefaultWorkHours", 0), 38);
  EXPECT_TRUE(LSettingSetString("Settings", "WelcomeEmail", nullptr));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/settings"), "defaultworkhours=38\r\n");
  EXPECT_TRUE(LSettingSetString("Settings", "Name", std::string("from a string")));
  EXPECT_EQ(LSettingGetString("Settings", "Name"), "from a string");
  EXPECT_TRUE(LSettingSetString("NeverWritten", "Key", nullptr));
  EXPECT_FALSE(KavrixFileExists(SharedFolder() + "/neverwritten"));
}

TEST_F(SettingsSectionsTest, PasswordsAreStoredAsPlainText) {
  EXPECT_TRUE(LSettingSetPassword("Email", "SMTPPassword", "s3cr=t \xc3\xa9"));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/email"), "smtppassword=s3cr=t \xc3\xa9\r\n");
  std::string out;
  EXPECT_TRUE(LSettingGetPassword("Email", "SMTPPassword", "", out));
  EXPECT_EQ(out, "s3cr=t \xc3\xa9");
  EXPECT_TRUE(LSettingSetPassword("Email", "SMTPPassword", std::string_view("other")));
  EXPECT_EQ(LSettingGetString("Email", "SMTPPassword"), "other");
}

TEST_F(SettingsSectionsTest, UserSettingsLiveInTheHomeFolder) {
  EXPECT_TRUE(LUserSettingSetString("Window", "Width", "640"));
  EXPECT_TRUE(LUserSettingSetInt("Window", "Height", 480));
  const std::string folder = HomeFolder() + "/.mardel/kavrixserver";
  EXPECT_EQ(KavrixReadFile(folder + "/window"), "width=640\r\nheight=480\r\n");
  std::string out;
  EXPECT_TRUE(_LUserSettingGetString("WINDOW", "width", "", out));
  EXPECT_EQ(out, "640");
  EXPECT_EQ(LUserSettingGetInt("Window", "Height", 0), 480);
  EXPECT_EQ(LUserSettingGetString("Window", "X", "10"), "10");
  EXPECT_TRUE(LUserSettingSetString("Window", "Width", nullptr));
  EXPECT_FALSE(KavrixFileExists(SharedFolder() + "/window"));
  EXPECT_EQ(LSettingsGetUserFolder(), folder);
}

TEST_F(SettingsSectionsTest, FolderHelpers) {
  EXPECT_EQ(LSettingsGetSharedFolder(), SharedFolder());
  EXPECT_TRUE(std::filesystem::is_directory(SharedFolder()));
  std::string out;
  LSettingsGetSharedFolder(out);
  EXPECT_EQ(out, SharedFolder());
  EXPECT_EQ(LSettingSectionFile("/a/b", "UsersList"), "/a/b/userslist");
  EXPECT_EQ(LSettingSectionFile("/a/b/", "X"), "/a/b/x");
  EXPECT_EQ(LSettingSectionFile(std::string(250, 'f'), "LongName").size(), 259u);
}

// Tests point KAVRIX_ROOT elsewhere after the program started: the global
// objects are made on first use and dropped by the reset.
TEST_F(SettingsSectionsTest, GlobalsFollowTheRootAfterAReset) {
  ASSERT_TRUE(LSettingSetString("Company", "Name", "First"));
  const std::string other = TempDir() + "/other";
  setenv("KAVRIX_ROOT", other.c_str(), 1);
  EXPECT_EQ(LSettingGetString("Company", "Name"), "First");  // still the old object
  LFoundationResetForTests();
  EXPECT_EQ(LSettingGetString("Company", "Name", "none"), "none");
  ASSERT_TRUE(LSettingSetString("Company", "Name", "Second"));
  EXPECT_EQ(KavrixReadFile(other + "/kavrixserver/etc/company"), "name=Second\r\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/company"), "name=First\r\n");
}

TEST_F(SettingsSectionsTest, ThreadsSharingTheGlobalListLoseNothing) {
  std::vector<std::jthread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) {
        LSettingSetInt(t % 2 ? "Settings" : "SETTINGS", "T" + std::to_string(t), i);
        LSettingGetInt("settings", "T" + std::to_string((t + 1) % 4), 0);
      }
    });
  }
  threads.clear();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(LSettingGetInt("Settings", "T" + std::to_string(t), -1), 49);
}

TEST_F(SettingsSectionsTest, AnotherProcessesChangeIsSeenThroughTheGlobalList) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "89"));
  EXPECT_EQ(LSettingGetInt("Routing", "LocalPort", 0), 89);
  TestChild child([] { return LSettingSetString("Routing", "LocalPort", "90") ? 0 : 1; });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_EQ(LSettingGetInt("Routing", "LocalPort", 0), 90);
}
