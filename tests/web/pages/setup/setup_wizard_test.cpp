// The first steps of the setup wizard over loopback: the administrator, the
// welcome e-mail question, the modules, the SMTP settings, and who may use
// the steps after the first.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "maintenance/maintenance_thread.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/log_reader.h"
#include "web/session/logon_throttle.h"
#include "wizard_fixture.h"

namespace {

using SetupWizardTest = WizardTest;

TEST_F(SetupWizardTest, Step1FirstDisplayAsksForTheAdministrator) {
  // A fresh installation's logon page is the first step, posting to itself.
  EXPECT_TRUE(Contains(Get("logon"), "<form action=\"logon\" method=post>"));
  const std::string page = Get("wizardadmin");
  EXPECT_EQ(page.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_TRUE(Contains(page, "<b>Setup Wizard: Step 1 of 3</b>"));
  EXPECT_TRUE(Contains(page,
                       "To use KavrixServer, you must create at least one administrator account. Please "
                       "enter the administrator details now. Other administrators can be added later."));
  EXPECT_TRUE(Contains(page, "Email:</td><td><input name=101 type=text"));
  EXPECT_TRUE(Contains(page, "Name:</td><td><input name=102 type=text"));
  EXPECT_TRUE(Contains(page, "Password:</td><td><input name=103 type=password"));
  EXPECT_TRUE(Contains(page, "Confirm Password:</td><td><input name=104 type=password"));
  EXPECT_TRUE(Contains(page, "value=\"  Next  \""));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=onok value=\"wizardconfirmemail\">"));
  EXPECT_FALSE(Contains(page, "value=\"Cancel\""));
}

TEST_F(SetupWizardTest, Step1RefusesEachMissingOrWrongValueInOrder) {
  struct Case {
    const char* email;
    const char* name;
    const char* password;
    const char* confirm;
    const char* message;
  };
  const Case cases[] = {
      {"  ", "Boss", "pw", "pw",
       "Please enter your email address. Your email is used to identify you throughout the KavrixServer system."},
      {"boss@office", "Boss", "pw", "pw", "Email address is invalid. Please reenter."},
      {"boss@office.example", " ", "pw", "pw",
       "Please enter your name. This name will be displayed to other users online."},
      {"boss@office.example", "Boss", "", "", "Please enter a password."},
      {"boss@office.example", "Boss", "secret", "secrets",
       "The two passwords you entered do not match, please reenter."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string page = PostAdmin(c.email, c.name, c.password, c.confirm);
    EXPECT_TRUE(Contains(page, ErrorRow(c.message)));
    EXPECT_EQ(CookieSession(page), "");
  }
  EXPECT_EQ(KXUserCount(), 0);
}

TEST_F(SetupWizardTest, Step1CreatesTheAdministratorAndHandsOverTheSession) {
  LKXMaintenanceThread maintenance;
  maintenance.Publish();
  // The confirmation differs in letter case only and blanks surround the
  // values: both are accepted, and the trimmed values stored.
  const std::string answer = PostAdmin(" Boss@Office.example ", " The Boss ", "Secret1", "sECRET1");
  maintenance.StopMaintenance();
  const std::string id = CookieSession(answer);
  ASSERT_NE(id, "");
  EXPECT_EQ(answer, CookieRedirect(id, "wizardconfirmemail"));
  EXPECT_EQ(SessionFileText(id), "user=Boss%40Office.example");
  EXPECT_TRUE(maintenance.WakeUpSignal().IsSignaled());

  LKXUser user;
  ASSERT_TRUE(KXGetUser("boss@office.example", user));
  EXPECT_EQ(user.GetEmail(), "Boss@Office.example");
  EXPECT_EQ(user.GetName(), "The Boss");
  EXPECT_TRUE(user.IsAdministrator());
  EXPECT_TRUE(user.IsAccountant());
  EXPECT_EQ(user.GetText(kKXUserTeam), "DefaultTeam");
  EXPECT_EQ(user.GetText(kKXUserManager), "");
  EXPECT_EQ(user.GetText(kKXUserPassword), "Secret1");
  EXPECT_TRUE(KXTeamExists("DefaultTeam"));
  EXPECT_EQ(KXTeamCount(), 1);
  EXPECT_EQ(Setting("Email", "ReplyToEmail"), "Boss@Office.example");
  EXPECT_EQ(Setting("Settings", "WelcomeEmail"), "1");
  EXPECT_EQ(Setting("Settings", "PrimaryUser"), "Boss@Office.example");
}

TEST_F(SetupWizardTest, Step1IsSwitchedOffOnceAnAdministratorExists) {
  // Stored directly, so the address holds markup that the page must escape.
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("<b>x\"@office.example", "Admin", true, false, "", "", "pw"));
  const std::string page = Get("wizardadmin");
  EXPECT_TRUE(Contains(page,
                       "Can not run setup wizard when admin users still exist (&lt;b&gt;x&quot;@office.example). "
                       "<br/>Please <a href=\"logon\"><b>Click Here</b></a> to logon KavrixServer and change "
                       "these options."));
  EXPECT_FALSE(Contains(page, "<input name=101"));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "0");

  // The next visit to the logon page finds the wizard switched off.
  const std::string logon = Get("logon");
  EXPECT_TRUE(Contains(logon, "<b>Logon</b>"));
  EXPECT_FALSE(Contains(logon, "Setup Wizard"));

  // A post straight to the step adds no second administrator and logs
  // nobody on.
  const std::string answer = PostAdmin("intruder@evil.example", "Intruder", "pw", "pw");
  EXPECT_EQ(CookieSession(answer), "");
  EXPECT_FALSE(KXUserExists("intruder@evil.example"));
}

// Step 1 logs on whoever it accepts, so posts that find an administrator
// count as failed logons: after a few, each waits for the address's turn.
TEST_F(SetupWizardTest, Step1PostsOnASetUpSystemAreSlowedDownLikeFailedLogons) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, false, "", "", "pw"));
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
  bool logged = false;
  for (const std::string& line : KavrixLogMessages()) {
    logged = logged || line == "5 failed logons from 127.0.0.1: further attempts are slowed down.";
  }
  EXPECT_TRUE(logged);
}

TEST_F(SetupWizardTest, Step1RefusesTheAddressOfAnExistingUser) {
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "theirs"));
  const std::string answer = PostAdmin("STAFF@office.example", "Me", "pw", "pw");
  EXPECT_EQ(CookieSession(answer), "");
  EXPECT_TRUE(Contains(answer, ErrorRow("A user with this email address already exists.")));
  LKXUser user;
  ASSERT_TRUE(KXGetUser("staff@office.example", user));
  EXPECT_FALSE(user.IsAdministrator());
}

TEST_F(SetupWizardTest, Step2LeadsToSmtpOnNoAndToUsageOtherwise) {
  const std::string id = CreateAdmin();
  const std::string page = Get("wizardconfirmemail", id);
  EXPECT_TRUE(Contains(page, "<b>Setup Wizard: Step 2 of 3</b>"));
  EXPECT_TRUE(Contains(page,
                       "Please check your in box and see if you have received a &quot;Welcome&quot; email "
                       "from KavrixServer"));
  EXPECT_TRUE(Contains(page, "name=rbg1 id=rbg1 value=102"));
  EXPECT_TRUE(Contains(page, "No, I did not received a welcome email (Go to SMTP server setup)"));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=oncancel value=\"wizardadmin\">"));
  const std::string next = "&onok=wizardkavrixusage&" + Submit("  Next  ");
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=102" + next, id), Redirect("wizardsmtpsetting"));
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=101" + next, id), Redirect("wizardkavrixusage"));
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=103" + next, id), Redirect("wizardkavrixusage"));
}

TEST_F(SetupWizardTest, UsageTicksTheModulesInUseAndStoresTheChoice) {
  const std::string id = CreateAdmin();
  ASSERT_TRUE(LSettingSetString("Settings", "ModeHours", "0"));
  const std::string page = Get("wizardkavrixusage", id);
  EXPECT_TRUE(Contains(page, "<b>Setup Wizard: KavrixServer Usage</b>"));
  EXPECT_TRUE(Contains(page, "name=101 checked>Staff screen monitoring and computer usage analysis</input>"));
  EXPECT_TRUE(Contains(page, "name=102>Staff hours tracking, calculation and reporting</input>"));
  EXPECT_TRUE(Contains(page, "name=103 checked>Staff holiday, sick and other leave reporting</input>"));

  const std::string refused = Post("wizardkavrixusage", Submit("  Next  "), id);
  EXPECT_TRUE(Contains(refused, ErrorRow("Please select what you want to use KavrixServer for?")));
  EXPECT_EQ(Setting("Settings", "ModeHours"), "0");

  EXPECT_EQ(Post("wizardkavrixusage", "102=on&" + Submit("  Next  "), id), Redirect("wizardaddusers"));
  EXPECT_EQ(Setting("Settings", "ModeQA"), "0");
  EXPECT_EQ(Setting("Settings", "ModeHours"), "1");
  EXPECT_EQ(Setting("Settings", "ModeLeave"), "0");
}

TEST_F(SetupWizardTest, SmtpShowsTheInstallationDefaultsAndStoresWhatWasTyped) {
  const std::string id = CreateAdmin();
  const std::string page = Get("wizardsmtpsetting", id);
  EXPECT_TRUE(Contains(page, "<b>SMTP Settings</b>"));
  EXPECT_TRUE(Contains(page, "name=rbg1 id=rbg1 value=101 checked"));
  EXPECT_TRUE(Contains(page, "name=106 checked>If server is down, attempt to send directly"));
  EXPECT_TRUE(Contains(page, "name=103>Server requires authentication"));
  EXPECT_TRUE(Contains(page, "<input name=108 type=text value=\"boss@office.example\""));
  EXPECT_TRUE(Contains(page, "value=\"Cancel\""));
  EXPECT_EQ(Setting("Email", "DefaultsSet"), "1");

  const std::string answer =
      Post("wizardsmtpsetting",
           "rbg1=107&102=mail.isp.example%3A2525&103=on&104=relayuser&105=p%40ss+word&108=office%40corp.example&" +
               Submit("  Next  "),
           id);
  EXPECT_EQ(answer, Redirect("wizardkavrixusage"));
  EXPECT_EQ(Setting("Email", "UseSMTPHost"), "0");
  EXPECT_EQ(Setting("Email", "SendDirect"), "0");
  EXPECT_EQ(Setting("Email", "MailSMTPHost"), "mail.isp.example:2525");
  EXPECT_EQ(Setting("Email", "SMTPAuthOn"), "1");
  EXPECT_EQ(Setting("Email", "SMTPUserName"), "relayuser");
  std::string password;
  ASSERT_TRUE(LSettingGetPassword("Email", "SMTPPassword", "", password));
  EXPECT_EQ(password, "p@ss word");
  EXPECT_EQ(Setting("Email", "ReplyToEmail"), "office@corp.example");

  // Shown again as stored; the main page's to-do link names its own targets.
  const std::string again = Get("wizardsmtpsetting?onok=mainpage&oncancel=mainpage", id);
  EXPECT_TRUE(Contains(again, "name=rbg1 id=rbg1 value=107 checked"));
  EXPECT_TRUE(Contains(again, "<input type=hidden name=onok value=\"mainpage\">"));
  EXPECT_EQ(Post("wizardsmtpsetting", "oncancel=wizardaddusers&" + Submit("Cancel"), id), Redirect("wizardaddusers"));
}

}  // namespace
