#include "foundation/settings_sections.h"

#include "support/test_helpers.h"

class SettingsSectionsTest : public KavrixTempRoot {};

// Sections are found without regard to case; passwords are plain text.
TEST_F(SettingsSectionsTest, SectionsAreLowerCaseFilesOfTheSharedFolder) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8089") && LSettingSetBool("ROUTING", "WelcomeEmail", true) &&
              LSettingSetInt("routing", "DefaultWorkHours", 38) &&
              LSettingSetString("Routing", "WelcomeEmail", nullptr));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/routing"), "localport=8089\r\ndefaultworkhours=38\r\n");
  EXPECT_EQ(LSettingGetInt("ROUTING", "localport", 89) + LSettingGetInt("Routing", "Missing", 89), 8089 + 89);
  std::string out;
  EXPECT_TRUE(!_LSettingGetString("Routing", "Other", "dflt", out) && out == "dflt");
  EXPECT_TRUE(LSettingSetPassword("Email", "SMTPPassword", "s3cr=t \xc3\xa9"));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/email"), "smtppassword=s3cr=t \xc3\xa9\r\n");
  EXPECT_TRUE(LSettingGetPassword("Email", "SMTPPassword", "", out) && out == "s3cr=t \xc3\xa9");
  EXPECT_EQ(LSettingSectionFile(std::string(250, 'f'), "LongName").size(), 259u);
}

TEST_F(SettingsSectionsTest, UserSettingsLiveInTheHomeFolder) {
  ASSERT_TRUE(LUserSettingSetString("Window", "Width", "640") && LUserSettingSetInt("Window", "Height", 480));
  const std::string folder = HomeFolder() + "/.mardel/kavrixserver";
  EXPECT_EQ(LSettingsGetUserFolder(), folder);
  EXPECT_EQ(KavrixReadFile(folder + "/window"), "width=640\r\nheight=480\r\n");
  EXPECT_FALSE(KavrixFileExists(SharedFolder() + "/window"));
}

// The list's cache of sections must not lose updates between threads.
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
