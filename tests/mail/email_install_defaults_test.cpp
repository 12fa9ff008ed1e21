// The e-mail settings of a fresh installation, written once.

#include "mail/email_install_defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "foundation/settings_sections.h"
#include "support/temp_root.h"

namespace {

class EmailInstallDefaults : public KavrixTempRoot {
 protected:
  std::string EmailFile() const { return SharedFolder() + "/email"; }
};

TEST_F(EmailInstallDefaults, FreshInstallationGetsEveryDefaultAndTheMarker) {
  ASSERT_TRUE(LEmailSetInstallDefaults());
  EXPECT_EQ(KavrixReadFile(EmailFile()),
            "usesendmail=0\r\nusesmtphost=1\r\nmailsmtphost=\r\nsmtpauthon=0\r\n"
            "smtpusername=\r\nsenddirect=1\r\nusessl=0\r\ndefaultsset=1\r\n");
}

TEST_F(EmailInstallDefaults, KeepsStoredValuesAndRunsOnlyOnce) {
  // Step 1 of the setup wizard sets the reply address before the SMTP step
  // fills in the defaults; an office may also have chosen direct sending.
  ASSERT_TRUE(LSettingSetString("Email", "ReplyToEmail", "boss@office.example"));
  ASSERT_TRUE(LSettingSetString("Email", "UseSMTPHost", "0"));
  ASSERT_TRUE(LSettingSetString("Email", "MailSMTPHost", ""));
  ASSERT_TRUE(LEmailSetInstallDefaults());
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail") + "|" + LSettingGetString("Email", "UseSMTPHost") +
                LSettingGetString("Email", "SendDirect") + LSettingGetString("Email", "DefaultsSet"),
            "boss@office.example|011");

  // Once marked, a later call restores nothing the office removed.
  ASSERT_TRUE(LSettingSetString("Email", "SendDirect", nullptr));
  ASSERT_TRUE(LEmailSetInstallDefaults());
  EXPECT_FALSE(LSettingTestFieldExists("Email", "SendDirect"));
}

TEST_F(EmailInstallDefaults, AnUnwritableFolderLeavesTheMarkerUnset) {
  // A folder where the settings file should be: no write can replace it.
  LSettingsGetSharedFolder();
  ASSERT_EQ(mkdir(EmailFile().c_str(), 0700), 0);
  EXPECT_FALSE(LEmailSetInstallDefaults());
  EXPECT_EQ(LSettingGetString("Email", "DefaultsSet"), "");
}

}  // namespace
