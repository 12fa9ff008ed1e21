#include "model/teams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/users.h"
#include "registry_fixture.h"

namespace {

using Names = std::vector<std::string>;
using TeamsTest = RegistryTest;

}  // namespace

// Case, blanks and empty names at the team dialog are the page test's; here
// what other callers (imports) may hand in: line breaks and a leading "=".
TEST_F(TeamsTest, TeamNamesAreUniqueAndDefaultTeamStays) {
  EXPECT_TRUE(KXAddTeam("DefaultTeam") && KXAddTeam("Support Desk"));
  EXPECT_FALSE(KXAddTeam("=support desk\r\nAdmins") || KXAddTeam(" \t"));
  EXPECT_EQ(KXGetTeamNames(), (Names{"DefaultTeam", "Support Desk"}));
  EXPECT_EQ(KavrixReadFile(TeamRecord(1)), "name=Support Desk\r\n");
  EXPECT_FALSE(KXDeleteTeam(" DEFAULTTEAM ") || KXDeleteTeam("Nonexistent"));
}

// Members whose whole team it was move to DefaultTeam; lists keep the name.
TEST_F(TeamsTest, DeletingATeamMovesItsWholeMembersToDefaultTeam) {
  ASSERT_TRUE(KXAddTeam("Sales") && KXAddTeam("Support"));
  const char* teams[] = {"SALES", "Sales,Support", "\"sales\","};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(KXAddUser(std::to_string(i) + "@x.example", "n", false, false, teams[i], "", ""));
  }
  EXPECT_TRUE(KXDeleteTeam("sales"));
  std::string after;
  for (int i = 0; i < 3; ++i) after += Texts(std::to_string(i) + "@x.example", {kKXUserTeam});
  EXPECT_EQ(after, "DefaultTeam|Sales,Support|DefaultTeam|");
  EXPECT_FALSE(KXTeamExists("Sales") || KXDeleteTeam("Sales"));
}


// The defaults are added once, existing ones skipped; names are trimmed.
TEST_F(TeamsTest, LeaveTypesAreDeletedByTrimmedNameAndDefaultsAddedOnce) {
  ASSERT_TRUE(KXAddLeaveType("Sick"));
  EXPECT_TRUE(KXInitDefaultLeaveTypes() && KXDeleteLeaveType("other "));
  EXPECT_EQ(KXGetLeaveTypeNames(), (Names{"Sick", "holiday", "unpaid", "maternity"}));
  EXPECT_TRUE(KXInitDefaultLeaveTypes());
  EXPECT_EQ(KXLeaveTypeCount(), 4);
}
