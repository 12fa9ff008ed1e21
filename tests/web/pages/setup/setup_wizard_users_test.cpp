// The setup wizard's decisions without HTTP: step 3's rows, the first
// administrator and the primary user.

#include "web/pages/setup/setup_wizard_users.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "support/temp_root.h"

namespace {

using Rows = std::vector<LKXWizardUserRow>;

class WizardUsersTest : public KavrixTempRoot {
 protected:
  static LKXWizardRowProblem Check(const Rows& rows, bool expected) {
    LKXWizardRowProblem problem;
    EXPECT_EQ(KXCheckWizardUserRows(rows, problem), expected);
    return problem;
  }
};

TEST_F(WizardUsersTest, BlankRowsAreSkippedAndFullRowsPass) {
  Check({{}, {"ann@office.example", "Ann", "1", ""}, {}, {"bob@office.example", "Bob", "2", "38"}}, true);
  Check({{}, {}, {}, {}}, true);
}

TEST_F(WizardUsersTest, EachRefusalNamesItsFieldAndMessage) {
  struct Case {
    LKXWizardUserRow row;
    int field;
    const char* message;
  };
  const Case cases[] = {
      {{"", "Only A Name", "1", ""}, 102, kKXWizardRowHalfMessage},
      {{"only@mail.example", "", "1", ""}, 102, kKXWizardRowHalfMessage},
      {{"not an address", "Ann", "1", ""}, 102, kKXWizardRowEmailMessage},
      {{"ann@nodot", "Ann", "1", ""}, 102, kKXWizardRowEmailMessage},
      {{"ann@office.example", "Ann", "1", "85"}, 602, kKXWizardRowHoursMessage},
      {{"ann@office.example", "Ann", "1", "-1"}, 602, kKXWizardRowHoursMessage},
      {{"ann@office.example", "Ann", "1", "4O"}, 602, kKXWizardRowHoursMessage},
      {{"ann@office.example", "Ann", "1", "0040"}, 602, kKXWizardRowHoursMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.email + "|" + c.row.name + "|" + c.row.workHours);
    const LKXWizardRowProblem problem = Check({{}, c.row}, false);
    EXPECT_EQ(problem.field, c.field);
    EXPECT_EQ(problem.message, c.message);
  }
}

TEST_F(WizardUsersTest, TheFirstRefusedRowWinsAndTakenAddressesAreRefused) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  LKXWizardRowProblem problem =
      Check({{"a@office.example", "A", "1", ""}, {"", "B", "1", ""}, {"bad", "C", "1", ""}}, false);
  EXPECT_EQ(problem.field, 102);
  problem = Check({{"BOSS@office.example", "Boss again", "1", ""}}, false);
  EXPECT_EQ(problem.field, 101);
  EXPECT_EQ(problem.message, kKXWizardRowExistsMessage);
  problem = Check({{"x@office.example", "X", "1", ""}, {}, {"X@Office.example", "X2", "1", ""}}, false);
  EXPECT_EQ(problem.field, 103);
  EXPECT_EQ(problem.message, kKXWizardRowTwiceMessage);
}

// Step 3 writes these into a single-quoted script string unescaped.
TEST(WizardRowMessages, FitIntoAScriptStringAsTheyAre) {
  for (const std::string_view message :
       {kKXWizardRowHalfMessage, kKXWizardRowEmailMessage, kKXWizardRowNameMessage, kKXWizardRowHoursMessage,
        kKXWizardRowExistsMessage, kKXWizardRowTwiceMessage, kKXWizardRowNotAddedMessage, kKXWizardNoPrimaryMessage}) {
    EXPECT_EQ(message.find_first_of("'\"<>&\r\n"), std::string_view::npos) << message;
  }
}

TEST_F(WizardUsersTest, PrimaryUserIsTheSettingOrTheFirstAdministratorAccountant) {
  std::string email;
  EXPECT_FALSE(KXFindPrimaryUser(email));
  ASSERT_TRUE(KXAddUser("admin@office.example", "Admin", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("hr@office.example", "HR", false, true, "", "", "pw"));
  EXPECT_FALSE(KXFindPrimaryUser(email));
  ASSERT_TRUE(KXAddUser("Both@office.example", "Both", true, true, "", "", "pw"));
  ASSERT_TRUE(KXFindPrimaryUser(email));
  EXPECT_EQ(email, "Both@office.example");
  EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), "Both@office.example");

  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", "HR@office.example"));
  ASSERT_TRUE(KXFindPrimaryUser(email));
  EXPECT_EQ(email, "hr@office.example");

  // A primary user who has been deleted is passed over, and replaced.
  ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", "gone@office.example"));
  ASSERT_TRUE(KXFindPrimaryUser(email));
  EXPECT_EQ(email, "Both@office.example");
  EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), "Both@office.example");
}

}  // namespace
