// A setup wizard interrupted after step 1 and resumed from the main page.

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

// The browser closed after step 1: the next visit finds the wizard off and
// the main page offers the administrator the steps left, in order, and
// staff nothing; the browser test walks them from there.
TEST_F(SetupResumeTest, TheMainPageOffersAnInterruptedAdministratorTheStepsLeft) {
  ASSERT_NE(CreateAdmin(), "");
  Get("logon");
  const std::string boss = LogOn("boss@office.example", "Secret1");
  EXPECT_EQ(StepsOffered(boss), "wizardconfirmemail wizardkavrixusage wizardaddusers wizardfinish ");
  ASSERT_TRUE(KXAddUser("staff@office.example", "Staff", false, false, "", "", "pw"));
  EXPECT_EQ(StepsOffered(LogOn("staff@office.example", "pw")), "");
  // Each step done leaves the list, recorded in order.
  EXPECT_EQ(Next("wizardkavrixusage", "102=on", boss), Redirect("wizardaddusers"));
  EXPECT_EQ(StepsOffered(boss), "wizardconfirmemail wizardaddusers wizardfinish ");
  EXPECT_EQ(Setting("Settings", "SetupStepsDone"), "wizardadmin,wizardkavrixusage");
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
