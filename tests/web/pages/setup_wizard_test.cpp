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

class SetupWizardTest : public WizardTest {
 protected:
  // A session of staff@office.example, as a logon would have made it.
  std::string StaffSession() {
    const std::string id = "lstaffses1";
    std::filesystem::create_directories(SharedFolder() + "/SessionData");
    EXPECT_TRUE(KavrixWriteFile(SharedFolder() + "/SessionData/" + id + ".sess", "user=staff%40office.example"));
    return id;
  }
};

TEST_F(SetupWizardTest, Step1FirstDisplayAsksForTheAdministrator) {
  // A fresh installation's logon page is the first step, posting to itself.
  EXPECT_TRUE(Has(Get("logon"), "<form action=\"logon\" method=post>"));
  const std::string page = Get("wizardadmin");
  EXPECT_EQ(page.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_TRUE(Has(page, "<b>Setup Wizard: Step 1 of 3</b>"));
  EXPECT_TRUE(Has(page, "To use KavrixServer, you must create at least one administrator account. Please "
                        "enter the administrator details now. Other administrators can be added later."));
  EXPECT_TRUE(Has(page, "Email:</td><td><input name=101 type=text"));
  EXPECT_TRUE(Has(page, "Name:</td><td><input name=102 type=text"));
  EXPECT_TRUE(Has(page, "Password:</td><td><input name=103 type=password"));
  EXPECT_TRUE(Has(page, "Confirm Password:</td><td><input name=104 type=password"));
  EXPECT_TRUE(Has(page, "value=\"  Next  \""));
  EXPECT_TRUE(Has(page, "<input type=hidden name=onok value=\"wizardconfirmemail\">"));
  EXPECT_FALSE(Has(page, "value=\"Cancel\""));
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
    EXPECT_TRUE(Has(page, MessageRow(c.message)));
    EXPECT_EQ(CookieSession(page), "");
  }
  EXPECT_EQ(KXUserCount(), 0);
}

TEST_F(SetupWizardTest, Step1CreatesTheAdministratorAndHandsOverTheSession) {
  LKXMaintenanceThread maintenance;
  LKXMaintenanceThread::pMT.store(&maintenance);
  // The confirmation differs in letter case only and blanks surround the
  // values: both are accepted, and the trimmed values stored.
  const std::string answer = PostAdmin(" Boss@Office.example ", " The Boss ", "Secret1", "sECRET1");
  LKXMaintenanceThread::pMT.store(nullptr);
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
  EXPECT_TRUE(Has(page,
                  "Can not run setup wizard when admin users still exist (&lt;b&gt;x&quot;@office.example). "
                  "<br/>Please <a href=\"logon\"><b>Click Here</b></a> to logon KavrixServer and change "
                  "these options."));
  EXPECT_FALSE(Has(page, "<input name=101"));
  EXPECT_EQ(Setting("Settings", "SetupWizardRun"), "0");

  // The next visit to the logon page finds the wizard switched off.
  const std::string logon = Get("logon");
  EXPECT_TRUE(Has(logon, "<b>Logon</b>"));
  EXPECT_FALSE(Has(logon, "Setup Wizard"));

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
    RecordedWaits() { KXSetLogonWaitFunction([](LThread*, int seconds) { return waited += seconds, true; }); }
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
  EXPECT_TRUE(Has(answer, MessageRow("A user with this email address already exists.")));
  LKXUser user;
  ASSERT_TRUE(KXGetUser("staff@office.example", user));
  EXPECT_FALSE(user.IsAdministrator());
}

TEST_F(SetupWizardTest, Step2LeadsToSmtpOnNoAndToUsageOtherwise) {
  const std::string id = CreateAdmin();
  const std::string page = Get("wizardconfirmemail", id);
  EXPECT_TRUE(Has(page, "<b>Setup Wizard: Step 2 of 3</b>"));
  EXPECT_TRUE(Has(page, "Please check your in box and see if you have received a &quot;Welcome&quot; email "
                        "from KavrixServer"));
  EXPECT_TRUE(Has(page, "name=rbg1 id=rbg1 value=102"));
  EXPECT_TRUE(Has(page, "No, I did not received a welcome email (Go to SMTP server setup)"));
  EXPECT_TRUE(Has(page, "<input type=hidden name=oncancel value=\"wizardadmin\">"));
  const std::string next = "&onok=wizardkavrixusage&" + Submit("  Next  ");
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=102" + next, id),
            "HTTP/1.0 302 OK\r\nLocation: wizardsmtpsetting\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=101" + next, id),
            "HTTP/1.0 302 OK\r\nLocation: wizardkavrixusage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("wizardconfirmemail", "rbg1=103" + next, id),
            "HTTP/1.0 302 OK\r\nLocation: wizardkavrixusage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(SetupWizardTest, UsageTicksTheModulesInUseAndStoresTheChoice) {
  const std::string id = CreateAdmin();
  ASSERT_TRUE(LSettingSetString("Settings", "ModeHours", "0"));
  const std::string page = Get("wizardkavrixusage", id);
  EXPECT_TRUE(Has(page, "<b>Setup Wizard: KavrixServer Usage</b>"));
  EXPECT_TRUE(Has(page, "name=101 checked>Staff screen monitoring and computer usage analysis</input>"));
  EXPECT_TRUE(Has(page, "name=102>Staff hours tracking, calculation and reporting</input>"));
  EXPECT_TRUE(Has(page, "name=103 checked>Staff holiday, sick and other leave reporting</input>"));

  const std::string refused = Post("wizardkavrixusage", Submit("  Next  "), id);
  EXPECT_TRUE(Has(refused, MessageRow("Please select what you want to use KavrixServer for?")));
  EXPECT_EQ(Setting("Settings", "ModeHours"), "0");

  EXPECT_EQ(Post("wizardkavrixusage", "102=on&" + Submit("  Next  "), id),
            "HTTP/1.0 302 OK\r\nLocation: wizardaddusers\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Setting("Settings", "ModeQA"), "0");
  EXPECT_EQ(Setting("Settings", "ModeHours"), "1");
  EXPECT_EQ(Setting("Settings", "ModeLeave"), "0");
}

TEST_F(SetupWizardTest, SmtpShowsTheInstallationDefaultsAndStoresWhatWasTyped) {
  const std::string id = CreateAdmin();
  const std::string page = Get("wizardsmtpsetting", id);
  EXPECT_TRUE(Has(page, "<b>SMTP Settings</b>"));
  EXPECT_TRUE(Has(page, "name=rbg1 id=rbg1 value=101 checked"));
  EXPECT_TRUE(Has(page, "name=106 checked>If server is down, attempt to send directly"));
  EXPECT_TRUE(Has(page, "name=103>Server requires authentication"));
  EXPECT_TRUE(Has(page, "<input name=108 type=text value=\"boss@office.example\""));
  EXPECT_TRUE(Has(page, "value=\"Cancel\""));
  EXPECT_EQ(Setting("Email", "DefaultsSet"), "1");

  const std::string answer =
      Post("wizardsmtpsetting",
           "rbg1=107&102=mail.isp.example%3A2525&103=on&104=relayuser&105=p%40ss+word&108=office%40corp.example&" +
               Submit("  Next  "),
           id);
  EXPECT_EQ(answer, "HTTP/1.0 302 OK\r\nLocation: wizardkavrixusage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
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
  EXPECT_TRUE(Has(again, "name=rbg1 id=rbg1 value=107 checked"));
  EXPECT_TRUE(Has(again, "<input type=hidden name=onok value=\"mainpage\">"));
  EXPECT_EQ(Post("wizardsmtpsetting", "oncancel=wizardaddusers&" + Submit("Cancel"), id),
            "HTTP/1.0 302 OK\r\nLocation: wizardaddusers\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(SetupWizardTest, LaterStepsServeOnlyTheAdministratorsSession) {
  const std::string steps[] = {"wizardconfirmemail", "wizardkavrixusage", "wizardsmtpsetting", "wizardaddusers",
                               "wizardfinish"};
  for (const std::string& step : steps) {
    SCOPED_TRACE(step);
    const std::string page = Get(step);
    EXPECT_TRUE(Has(page, "<center>Your session is expired. Please <a href=\"logon\"><b>Click Here</b></a> "
                          "to relogin.</center>"));
    EXPECT_FALSE(Has(page, "<input name=1"));
    EXPECT_FALSE(Has(page, "type=checkbox"));
    EXPECT_FALSE(Has(page, "type=radio"));
  }
  // Posts without the administrator's session change nothing.
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  EXPECT_EQ(CookieSession(Post("wizardfinish", Submit("  Finish  "))), "");
  Post("wizardkavrixusage", "101=on&" + Submit("  Next  "));
  EXPECT_EQ(Setting("Settings", "ModeQA"), "");
  Post("wizardsmtpsetting", "rbg1=101&102=evil.example&" + Submit("  Next  "));
  EXPECT_EQ(Setting("Email", "MailSMTPHost"), "");

  // A logged-on user who is no administrator gets the notice instead.
  const std::string staff = StaffSession();
  const std::string page = Get("wizardsmtpsetting", staff);
  EXPECT_TRUE(Has(page, "<center>Only System Administrator can access this page.</center>"));
  EXPECT_FALSE(Has(page, "type=radio"));
  EXPECT_EQ(CookieSession(Post("wizardfinish", Submit("  Finish  "), staff)), "");
}

}  // namespace
