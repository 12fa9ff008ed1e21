// A setup wizard interrupted after step 1 and finished from the main page,
// every path through the wizard asking the modules question, and the users
// that the wizard, the add-user page and the import make starting alike.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "web/text/uri_codec.h"
#include "wizard_fixture.h"

namespace {

constexpr char kFinishHeading[] = "<h3>Finish the setup</h3><ul>";

std::string Item(const std::string& url, const std::string& text) {
  return "<li><a href=\"" + url + "\" style=\"text-decoration:none\">" + text + "</a></li>";
}

const std::string kConfirmItem = Item("wizardconfirmemail", "Check that KavrixServer can send email");
const std::string kUsageItem = Item("wizardkavrixusage", "Choose what KavrixServer is used for");
const std::string kUsersItem = Item("wizardaddusers", "Add the first users");
const std::string kFinishItem = Item("wizardfinish", "Read what to do next");

class SetupResumeTest : public WizardTest {
 protected:
  // The browser closed after step 1: the next visit finds the wizard off
  // and logs on through the logon dialog.
  std::string InterruptAndLogOn() {
    EXPECT_NE(CreateAdmin(), "");
    EXPECT_TRUE(Contains(Get("logon"), "Can not run setup wizard when admin users still exist"));
    EXPECT_TRUE(Contains(Get("logon"), "<b>Logon</b>"));
    return CookieSession(Post("logon", "101=boss%40office.example&102=Secret1&submit=Logon"));
  }
  std::string Next(const std::string& path, const std::string& fields, const std::string& session) {
    return Post(path, fields + "&" + Submit("  Next  "), session);
  }
  static std::string Location(const std::string& target) {
    return "HTTP/1.0 302 OK\r\nLocation: " + target + "\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  }
  static std::string Text(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }
};

TEST_F(SetupResumeTest, TheMainPageLeadsAnInterruptedAdministratorThroughTheStepsLeft) {
  const std::string boss = InterruptAndLogOn();
  ASSERT_NE(boss, "");
  EXPECT_TRUE(
      Contains(Get("mainpage", boss), kFinishHeading + kConfirmItem + kUsageItem + kUsersItem + kFinishItem + "</ul>"));

  // Each step offered works, and goes on through the wizard from there.
  EXPECT_TRUE(Contains(Get("wizardconfirmemail", boss), "<b>Setup Wizard: Step 2 of 3</b>"));
  EXPECT_EQ(Next("wizardconfirmemail", "rbg1=101", boss), Location("wizardkavrixusage"));
  EXPECT_TRUE(Contains(Get("mainpage", boss), kFinishHeading + kUsageItem + kUsersItem + kFinishItem + "</ul>"));
  EXPECT_EQ(Next("wizardkavrixusage", "102=on", boss), Location("wizardaddusers"));
  EXPECT_EQ(Next("wizardaddusers", "101=ann%40office.example&201=Ann&701=on", boss), Location("wizardfinish"));
  EXPECT_TRUE(Contains(Get("mainpage", boss), kFinishHeading + kFinishItem + "</ul>"));

  // The finish keeps the administrator logged on as himself.
  const std::string answer = Post("wizardfinish", Submit("  Finish  "), boss);
  const std::string id = CookieSession(answer);
  ASSERT_NE(id, "");
  EXPECT_EQ(answer, CookieRedirect(id, "mainpage"));
  EXPECT_EQ(SessionFileText(id), "user=boss%40office.example");
  EXPECT_FALSE(Contains(Get("mainpage", id), "Finish the setup"));
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"),
            "wizardadmin,wizardconfirmemail,wizardkavrixusage,wizardaddusers,wizardfinish");
}

TEST_F(SetupResumeTest, OnlyAnAdministratorIsOfferedTheStepsLeft) {
  const std::string boss = InterruptAndLogOn();
  ASSERT_NE(boss, "");
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  const std::string staff = CookieSession(Post("logon", "101=staff%40office.example&102=pw&submit=Logon"));
  ASSERT_NE(staff, "");
  EXPECT_TRUE(Contains(Get("mainpage", staff), "Logged on as staff@office.example"));
  EXPECT_FALSE(Contains(Get("mainpage", staff), "Finish the setup"));
  EXPECT_FALSE(Contains(Get("mainpage", staff), "wizard"));
  // Nor do the steps serve him, or count his posts as done.
  Next("wizardconfirmemail", "rbg1=101", staff);
  Next("wizardkavrixusage", "101=on", staff);
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"), "wizardadmin");
}

// A system set up before the steps were recorded has nothing to finish.
TEST_F(SetupResumeTest, NoStepsOfferedWithoutARecordOfStepOne) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  ASSERT_TRUE(LSettingSetString("Settings", "SetupWizardRun", "0"));
  const std::string boss = CookieSession(Post("logon", "101=boss%40office.example&102=pw&submit=Logon"));
  ASSERT_NE(boss, "");
  EXPECT_FALSE(Contains(Get("mainpage", boss), "Finish the setup"));
}

TEST_F(SetupResumeTest, NoToTheWelcomeMailStillAsksTheModulesQuestion) {
  const std::string boss = CreateAdmin();
  ASSERT_NE(boss, "");
  EXPECT_EQ(Next("wizardconfirmemail", "rbg1=102", boss), Location("wizardsmtpsetting"));
  EXPECT_TRUE(Contains(Get("wizardsmtpsetting", boss), "<input type=hidden name=onok value=\"wizardkavrixusage\">"));
  EXPECT_EQ(Next("wizardsmtpsetting", "rbg1=107&108=boss%40office.example", boss), Location("wizardkavrixusage"));
  EXPECT_EQ(Post("wizardsmtpsetting", Submit("Cancel"), boss), Location("wizardkavrixusage"));
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"), "wizardadmin,wizardconfirmemail");
}

// The wizard's users step, the add-user page and the import (two users)
// make users through one function: with the work days offered (Monday to
// Friday as preset) they start alike.
TEST_F(SetupResumeTest, WizardAddFormAndImportGiveNewUsersTheSameDefaults) {
  const std::string boss = CreateAdmin();
  ASSERT_NE(boss, "");
  const std::string wizardPage = Get("wizardaddusers", boss);
  for (const char* day : {"name=701 checked>Mon</label>", "name=705 checked>Fri</label>", "name=706>Sat</label>",
                          "name=707>Sun</label>"}) {
    EXPECT_TRUE(Contains(wizardPage, day)) << day;
  }
  EXPECT_EQ(Next("wizardaddusers", "101=ann%40office.example&201=Ann&701=on&702=on&703=on&704=on&705=on", boss),
            Location("wizardfinish"));

  Get("userdetail?seluser=new", boss);
  EXPECT_EQ(Post("userdetail",
                 "101=bob%40office.example&102=Bob&104=DefaultTeam&108=boss%40office.example&rbg1=110&rbg2=210"
                 "&rbg3=310&401=on&402=on&403=on&404=on&405=on&606=on&submit=++OK++",
                 boss)
                .find("HTTP/1.0 302 OK\r\nLocation: "),
            0u);

  const std::string importForm = Get("userimport", boss);
  for (const char* day : {"name=wd1 checked>Mon", "name=wd5 checked>Fri", "name=wd6>Sat"}) {
    EXPECT_TRUE(Contains(importForm, day)) << day;
  }
  const std::string csv = LURIEncode(
      "cy@office.example,\"Cy\",\"\",\"\",0,0,0,\"\",\"\"\r\n"
      "dan@office.example,\"Dan\",\"\",\"\",0,0,0,\"\",\"\"\r\n");
  const std::string days = "&wdset=1&wd1=on&wd2=on&wd3=on&wd4=on&wd5=on";
  EXPECT_TRUE(Contains(Post("userimport", "csv=" + csv + days + "&submit=Import", boss),
                       "Imported: 2 users added, 0 users changed."));

  const LKXUserKey* keys[] = {&kKXUserWorkDays,    &kKXUserWorkType, &kKXUserWorkHours,
                              &kKXUserPasswordReq, &kKXUserTeam,     &kKXUserManager,
                              &kKXUserAccessAdmin, &kKXUserAccessHR, &kKXUserLogScreenShot};
  for (const LKXUserKey* key : keys) {
    SCOPED_TRACE(std::string(key->name));
    const std::string first = Text("ann@office.example", *key);
    for (const char* email : {"bob@office.example", "cy@office.example", "dan@office.example"}) {
      EXPECT_EQ(Text(email, *key), first) << email;
    }
  }
  EXPECT_EQ(Text("ann@office.example", kKXUserWorkDays), "62");
  EXPECT_EQ(Text("ann@office.example", kKXUserPasswordReq), "1");
  EXPECT_EQ(Text("ann@office.example", kKXUserManager), "boss@office.example");
  // Each holds a password nobody typed, mailed with the logon details.
  for (const char* email : {"ann@office.example", "bob@office.example", "cy@office.example"}) {
    EXPECT_EQ(Text(email, kKXUserPassword).size(), 6u) << email;
  }

  // The office decides: no boxes ticked is flexible days.
  EXPECT_EQ(Next("wizardaddusers", "101=eve%40office.example&201=Eve", boss), Location("wizardfinish"));
  EXPECT_EQ(Text("eve@office.example", kKXUserWorkDays), "0");
}

// The count is what the preview showed: a row that changes nothing is not
// counted as changed.
TEST_F(SetupResumeTest, ImportCountsOnlyTheRowsItChanges) {
  const std::string boss = CreateAdmin();
  ASSERT_NE(boss, "");
  ASSERT_TRUE(KXAddUser("same@office.example", "Same", false, false, "", "boss@office.example", "pw"));
  ASSERT_TRUE(KXAddUser("old@office.example", "Old", false, false, "", "boss@office.example", "pw"));
  const std::string csv = LURIEncode(
      "same@office.example,\"Same\",\"\",\"\",0,0,0,\"DefaultTeam\",\"boss@office.example\"\r\n"
      "old@office.example,\"Old Renamed\",\"\",\"\",0,0,0,\"DefaultTeam\",\"boss@office.example\"\r\n"
      "boss@office.example,\"The Boss\",\"\",\"\",1,1,0,\"DefaultTeam\",\"\"\r\n"
      "new@office.example,\"New\",\"\",\"\",0,0,0,\"\",\"\"\r\n");
  const std::string preview = Post("userimport", "csv=" + csv + "&submit=Preview", boss);
  EXPECT_TRUE(Contains(preview, ">no change</td>"));
  EXPECT_TRUE(Contains(preview, ">change: Name</td>"));
  EXPECT_TRUE(
      Contains(Post("userimport", "csv=" + csv + "&submit=Import", boss), "Imported: 1 users added, 1 users changed."));
}

}  // namespace
