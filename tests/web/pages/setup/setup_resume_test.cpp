// A setup wizard interrupted after step 1 and finished from the main page.

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "web/text/uri_codec.h"
#include "wizard_fixture.h"

namespace {

class SetupResumeTest : public WizardTest {
 protected:
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
};

TEST_F(SetupResumeTest, TheMainPageLeadsAnInterruptedAdministratorThroughTheStepsLeft) {
  // The browser closed after step 1: the next visit finds the wizard off.
  ASSERT_NE(CreateAdmin(), "");
  Get("logon");
  const std::string boss = LogOn("boss@office.example", "Secret1");
  ASSERT_NE(boss, "");
  EXPECT_EQ(StepsOffered(boss), "wizardconfirmemail wizardkavrixusage wizardaddusers wizardfinish ");
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  EXPECT_EQ(StepsOffered(LogOn("staff@office.example", "pw")), "");

  // Each step offered works, and goes on through the wizard from there.
  EXPECT_EQ(Next("wizardconfirmemail", "rbg1=101", boss), Redirect("wizardkavrixusage"));
  EXPECT_EQ(Next("wizardkavrixusage", "102=on", boss), Redirect("wizardaddusers"));
  EXPECT_EQ(Next("wizardaddusers", "101=ann%40office.example&201=Ann&701=on", boss), Redirect("wizardfinish"));
  EXPECT_EQ(StepsOffered(boss), "wizardfinish ");

  EXPECT_NE(CookieSession(Post("wizardfinish", Submit("  Finish  "), boss)), "");
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"),
            "wizardadmin,wizardconfirmemail,wizardkavrixusage,wizardaddusers,wizardfinish");
}

// A system set up before the steps were recorded has nothing to finish.
TEST_F(SetupResumeTest, NoStepsOfferedWithoutARecordOfStepOne) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  ASSERT_TRUE(LSettingSetString("Settings", "SetupWizardRun", "0"));
  const std::string boss = LogOn("boss@office.example", "pw");
  ASSERT_NE(boss, "");
  EXPECT_EQ(StepsOffered(boss), "");
}

}  // namespace
