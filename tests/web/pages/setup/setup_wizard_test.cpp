// The first steps of the setup wizard over loopback: the administrator and
// the SMTP settings (who may use the steps after the first is the access
// matrix's).

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "maintenance/maintenance_thread.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/session/logon_throttle.h"
#include "wizard_fixture.h"

namespace {

using SetupWizardTest = WizardTest;

TEST_F(SetupWizardTest, Step1RefusesEachMissingOrWrongValueInOrder) {
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "theirs"));
  struct Case {
    const char *email, *name, *password, *confirm, *message;
  };
  const Case cases[] = {
      {"  ", "Boss", "pw", "pw",
       "Please enter your email address. Your email is used to identify you throughout the KavrixServer system."},
      {"boss@office", "Boss", "pw", "pw", "Email address is invalid. Please reenter."},
      {"boss@office.example", "Boss", "secret", "secrets",
       "The two passwords you entered do not match, please reenter."},
      {"STAFF@office.example", "Me", "pw", "pw", "A user with this email address already exists."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string page = PostAdmin(c.email, c.name, c.password, c.confirm);
    EXPECT_TRUE(Contains(page, ErrorRow(c.message)));
    EXPECT_EQ(CookieSession(page), "");
  }
  EXPECT_EQ(KXUserCount(), 1);
}

TEST_F(SetupWizardTest, Step1CreatesTheAdministratorAndHandsOverTheSession) {
  LKXMaintenanceThread maintenance;
  maintenance.Publish();
  // The confirmation differs in letter case only and blanks surround the
  // values: both are accepted, and the trimmed values stored.
  const std::string answer = PostAdmin(" Boss@Office.example ", " The Boss ", "Secret1", "sECRET1");
  maintenance.StopMaintenance();
  EXPECT_EQ(HandedOver(answer), "wizardconfirmemail user=Boss%40Office.example");
  EXPECT_TRUE(maintenance.WakeUpSignal().IsSignaled());

  LKXUser user;
  ASSERT_TRUE(KXGetUser("boss@office.example", user));
  EXPECT_EQ(user.GetEmail() + "|" + user.GetName() + "|" + user.GetText(kKXUserTeam) + "|" +
                user.GetText(kKXUserManager) + "|" + user.GetText(kKXUserPassword),
            "Boss@Office.example|The Boss|DefaultTeam||Secret1");
  EXPECT_TRUE(user.IsAdministrator() && user.IsAccountant());
  EXPECT_EQ(KXGetTeamNames(), std::vector<std::string>{"DefaultTeam"});
  EXPECT_EQ(Setting("Email", "ReplyToEmail") + "|" + Setting("Settings", "WelcomeEmail") + "|" +
                Setting("Settings", "PrimaryUser"),
            "Boss@Office.example|1|Boss@Office.example");
}

// Once an administrator exists, step 1 is off. It logs on whoever it
// accepts, so posts straight to it count as failed logons: they add no
// second administrator, and after a few each waits for the address's turn.
TEST_F(SetupWizardTest, Step1IsSwitchedOffOnceAnAdministratorExistsAndPostsAreSlowedDown) {
  ASSERT_TRUE(KXAddUser("x@office.example", "Admin", true, false, "", "", "pw"));
  const std::string page = Get("wizardadmin");
  EXPECT_TRUE(Contains(Visible(page),
                       "Can not run setup wizard when admin users still exist (x@office.example). Please "
                       "Click Here to logon KavrixServer and change these options."));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "0");

  LDateTime::SetFakeNow(1773144000);
  static std::atomic<int> waited{0};
  struct RecordedWaits {
    RecordedWaits() {
      KXSetLogonWaitFunction([](LThread*, int seconds) { return waited += seconds, true; });
    }
    ~RecordedWaits() { KXSetLogonWaitFunction(nullptr); }
  } recorded;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(CookieSession(PostAdmin("guess" + std::to_string(i) + "@evil.example", "X", "pw", "pw")), "");
  }
  EXPECT_EQ(waited.load(), 1);
  EXPECT_EQ(KXUserCount(), 1);
}

TEST_F(SetupWizardTest, SmtpShowsTheInstallationDefaultsAndStoresWhatWasTyped) {
  const std::string id = CreateAdmin();
  const HtmlPage page(Get("wizardsmtpsetting", id));
  EXPECT_EQ(page.Field("rbg1") + "|" + page.Field("106") + "|" + page.Field("103") + "|" + page.Field("108"),
            "101|on|<absent>|boss@office.example");

  const std::string answer =
      Post("wizardsmtpsetting",
           "rbg1=107&102=mail.isp.example%3A2525&103=on&104=relayuser&105=p%40ss+word&108=office%40corp.example&" +
               Submit("  Next  "),
           id);
  EXPECT_EQ(answer, Redirect("wizardkavrixusage"));
  const char* keys[] = {"UseSMTPHost", "SendDirect", "MailSMTPHost", "SMTPAuthOn", "SMTPUserName", "ReplyToEmail"};
  std::string stored;
  for (const char* key : keys) stored += Setting("Email", key) + "|";
  EXPECT_EQ(stored, "0|0|mail.isp.example:2525|1|relayuser|office@corp.example|");
  std::string password;
  ASSERT_TRUE(LSettingGetPassword("Email", "SMTPPassword", "", password));
  EXPECT_EQ(password, "p@ss word");
}

}  // namespace
