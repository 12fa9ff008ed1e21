// A setup wizard interrupted after step 1 and finished from the main page,
// and the users that the wizard, the add-user page and the import make
// starting alike.

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "web/text/uri_codec.h"
#include "wizard_fixture.h"

namespace {

class SetupResumeTest : public WizardTest {
 protected:
  std::string LogOnAs(const std::string& email, const std::string& password) {
    return CookieSession(Post("logon", "101=" + LURIEncode(email) + "&102=" + password + "&submit=Logon"));
  }
  std::string Next(const std::string& path, const std::string& fields, const std::string& session) {
    return Post(path, fields + "&" + Submit("  Next  "), session);
  }
  // The setup steps the main page links to, in order.
  std::string StepsOffered(const std::string& session) {
    std::string steps;
    for (const HtmlLink& link : HtmlPage(Get("mainpage", session)).Links()) {
      if (link.href.rfind("wizard", 0) == 0) steps += link.href + " ";
    }
    return steps;
  }
  static std::string Text(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }
};

TEST_F(SetupResumeTest, TheMainPageLeadsAnInterruptedAdministratorThroughTheStepsLeft) {
  // The browser closed after step 1: the next visit finds the wizard off.
  ASSERT_NE(CreateAdmin(), "");
  EXPECT_TRUE(Contains(Visible(Get("logon")), "Can not run setup wizard when admin users still exist"));
  const std::string boss = LogOnAs("boss@office.example", "Secret1");
  ASSERT_NE(boss, "");
  EXPECT_EQ(StepsOffered(boss), "wizardconfirmemail wizardkavrixusage wizardaddusers wizardfinish ");
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  EXPECT_EQ(StepsOffered(LogOnAs("staff@office.example", "pw")), "");

  // Each step offered works, and goes on through the wizard from there.
  EXPECT_EQ(Next("wizardconfirmemail", "rbg1=101", boss), Redirect("wizardkavrixusage"));
  EXPECT_EQ(StepsOffered(boss), "wizardkavrixusage wizardaddusers wizardfinish ");
  EXPECT_EQ(Next("wizardkavrixusage", "102=on", boss), Redirect("wizardaddusers"));
  EXPECT_EQ(Next("wizardaddusers", "101=ann%40office.example&201=Ann&701=on", boss), Redirect("wizardfinish"));
  EXPECT_EQ(StepsOffered(boss), "wizardfinish ");

  // The finish keeps the administrator logged on as himself.
  const std::string answer = Post("wizardfinish", Submit("  Finish  "), boss);
  const std::string id = CookieSession(answer);
  ASSERT_NE(id, "");
  EXPECT_EQ(answer, CookieRedirect(id, "mainpage"));
  EXPECT_FALSE(Contains(Visible(Get("mainpage", id)), "Finish the setup"));
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"),
            "wizardadmin,wizardconfirmemail,wizardkavrixusage,wizardaddusers,wizardfinish");
}

// A system set up before the steps were recorded has nothing to finish.
TEST_F(SetupResumeTest, NoStepsOfferedWithoutARecordOfStepOne) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  ASSERT_TRUE(LSettingSetString("Settings", "SetupWizardRun", "0"));
  const std::string boss = LogOnAs("boss@office.example", "pw");
  ASSERT_NE(boss, "");
  EXPECT_EQ(StepsOffered(boss), "");
}

// The wizard's users step, the add-user page and the import (two users)
// make users through one function: with the work days offered (Monday to
// Friday as preset) they start alike.
TEST_F(SetupResumeTest, WizardAddFormAndImportGiveNewUsersTheSameDefaults) {
  const std::string boss = CreateAdmin();
  ASSERT_NE(boss, "");
  EXPECT_EQ(Next("wizardaddusers", "101=ann%40office.example&201=Ann&701=on&702=on&703=on&704=on&705=on", boss),
            Redirect("wizardfinish"));

  Get("userdetail?seluser=new", boss);
  EXPECT_EQ(Post("userdetail",
                 "101=bob%40office.example&102=Bob&104=DefaultTeam&108=boss%40office.example&rbg1=110&rbg2=210"
                 "&rbg3=310&401=on&402=on&403=on&404=on&405=on&606=on&submit=++OK++",
                 boss)
                .find("HTTP/1.0 302 OK\r\nLocation: "),
            0u);

  const std::string csv = LURIEncode(
      "cy@office.example,\"Cy\",\"\",\"\",0,0,0,\"\",\"\"\r\n"
      "dan@office.example,\"Dan\",\"\",\"\",0,0,0,\"\",\"\"\r\n");
  const std::string days = "&wdset=1&wd1=on&wd2=on&wd3=on&wd4=on&wd5=on";
  EXPECT_TRUE(Contains(Post("userimport", "csv=" + csv + days + "&submit=Import", boss),
                       "Imported: 2 users added, 0 users changed."));

  for (const char* email : {"ann@office.example", "bob@office.example", "cy@office.example", "dan@office.example"}) {
    std::string start;
    for (const LKXUserKey* key : {&kKXUserWorkDays, &kKXUserWorkType, &kKXUserWorkHours, &kKXUserPasswordReq,
                                  &kKXUserTeam, &kKXUserManager, &kKXUserAccessAdmin, &kKXUserLogScreenShot}) {
      start += Text(email, *key) + "|";
    }
    // A password nobody typed, mailed with the logon details.
    EXPECT_EQ(start + std::to_string(Text(email, kKXUserPassword).size()), "62|0|0|1|DefaultTeam|boss@office.example|0|1|6") << email;
  }
  // The office decides: no boxes ticked is flexible days.
  EXPECT_EQ(Next("wizardaddusers", "101=eve%40office.example&201=Eve", boss), Redirect("wizardfinish"));
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
  const std::string preview = Visible(Post("userimport", "csv=" + csv + "&submit=Preview", boss));
  EXPECT_TRUE(Contains(preview, "no change"));
  EXPECT_TRUE(Contains(preview, "change: Name"));
  EXPECT_TRUE(
      Contains(Post("userimport", "csv=" + csv + "&submit=Import", boss), "Imported: 1 users added, 1 users changed."));
}

}  // namespace
