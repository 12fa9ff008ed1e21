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
using WizardUsersTest = KavrixTempRoot;

// Blank rows are skipped; the first refused row wins, naming its field.
TEST_F(WizardUsersTest, RowsAreCheckedInOrder) {
  ASSERT_TRUE(KXAddUser("boss@office.example", "Boss", true, true, "", "", "pw"));
  const LKXWizardUserRow ann = {"ann@office.example", "Ann", "1", ""};
  struct Case {
    Rows rows;
    int field;  // 0: accepted
    const char* message;
  };
  const Case cases[] = {
      {{{}, ann, {}, {"bob@office.example", "Bob", "2", "38"}}, 0, ""},
      {{{}, {"", "Only A Name", "1", ""}}, 102, kKXWizardRowHalfMessage},
      {{{}, {"ann@nodot", "Ann", "1", ""}}, 102, kKXWizardRowEmailMessage},
      {{{}, {"ann@office.example", "Ann", "1", "85"}}, 602, kKXWizardRowHoursMessage},
      {{{"x@office.example", "X", "1", ""}, {}, {"X@Office.example", "X2", "1", ""}}, 103, kKXWizardRowTwiceMessage},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const auto& row : c.rows) trace += row.email + "|" + row.name + "|" + row.workHours + ";";
    SCOPED_TRACE(trace);
    LKXWizardRowProblem problem;
    EXPECT_EQ(KXCheckWizardUserRows(c.rows, problem), c.field == 0);
    if (c.field == 0) continue;
    EXPECT_EQ(problem.field, c.field);
    EXPECT_EQ(problem.message, c.message);
  }
}

TEST_F(WizardUsersTest, PrimaryUserIsTheSettingOrTheFirstAdministratorAccountant) {
  std::string email;
  EXPECT_FALSE(KXFindPrimaryUser(email));
  ASSERT_TRUE(KXAddUser("admin@office.example", "Admin", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("hr@office.example", "HR", false, true, "", "", "pw"));
  EXPECT_FALSE(KXFindPrimaryUser(email));
  ASSERT_TRUE(KXAddUser("Both@office.example", "Both", true, true, "", "", "pw"));
  // The setting first; one naming a deleted user is passed over and replaced.
  const struct {
    const char *setting, *found, *stored;  // setting null: left as the previous row stored it
  } cases[] = {{nullptr, "Both@office.example", "Both@office.example"},
               {"HR@office.example", "hr@office.example", "HR@office.example"},
               {"gone@office.example", "Both@office.example", "Both@office.example"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.found);
    if (c.setting != nullptr) {
      ASSERT_TRUE(LSettingSetString("Settings", "PrimaryUser", c.setting));
    }
    ASSERT_TRUE(KXFindPrimaryUser(email));
    EXPECT_EQ(email, c.found);
    EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), c.stored);
  }
}

}  // namespace
