#include "foundation/settings_sections.h"

#include "support/test_helpers.h"

class SettingsSectionsTest : public KavrixTempRoot {};

// Sections are found without regard to case; passwords are plain text.
TEST_F(SettingsSectionsTest, SectionsAreLowerCaseFilesOfTheSharedFolder) {
  ASSERT_TRUE(LSettingSetString("Routing", "LocalPort", "8089") && LSettingSetInt("ROUTING", "Hours", 38) &&
              LSettingSetPassword("Email", "SMTPPassword", "s3cr=t \xc3\xa9"));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/routing"), "localport=8089\r\nhours=38\r\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/email"), "smtppassword=s3cr=t \xc3\xa9\r\n");
  EXPECT_EQ(LSettingGetInt("routing", "localport", 89) + LSettingGetInt("Routing", "Missing", 89), 8089 + 89);
  std::string out;
  EXPECT_TRUE(!_LSettingGetString("Routing", "Other", "dflt", out) && out == "dflt");
  EXPECT_TRUE(LSettingGetPassword("Email", "SMTPPassword", "", out) && out == "s3cr=t \xc3\xa9");
  EXPECT_EQ(LSettingSectionFile(std::string(250, 'f'), "LongName").size(), 259u);
}
