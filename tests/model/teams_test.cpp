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

class TeamsTest : public RegistryTest {
 protected:
  std::string TeamOf(std::string_view email) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(kKXUserTeam) : "<no user>";
  }
};

}  // namespace

TEST_F(TeamsTest, TeamNamesAreUniqueWithoutRegardToCase) {
  EXPECT_TRUE(KXAddTeam("Sales"));
  EXPECT_TRUE(KXAddTeam("Support Desk"));
  for (const char* same : {"SALES", " sales ", "Sales\r\nAdmins", "=sales"}) EXPECT_FALSE(KXAddTeam(same)) << same;
  for (const char* empty : {"", " \t", "\n", "= \r\n"}) EXPECT_FALSE(KXAddTeam(empty)) << empty;
  EXPECT_TRUE(KXTeamExists("support desk"));
  EXPECT_FALSE(KXTeamExists("Support"));
  EXPECT_EQ(KXTeamCount(), 2);
  EXPECT_EQ(KXGetTeamNames(), (Names{"Sales", "Support Desk"}));
  EXPECT_EQ(KavrixReadFile(TeamRecord(1)), "name=Support Desk\r\n");
}

TEST_F(TeamsTest, DefaultTeamCannotBeDeletedInAnySpelling) {
  ASSERT_TRUE(KXAddTeam("DefaultTeam"));
  for (const char* name : {"DefaultTeam", "defaultteam", " DEFAULTTEAM "}) EXPECT_FALSE(KXDeleteTeam(name)) << name;
  EXPECT_TRUE(KXTeamExists("DefaultTeam"));
  EXPECT_FALSE(KXDeleteTeam("Nonexistent"));
}

TEST_F(TeamsTest, DeletingATeamMovesItsWholeMembersToDefaultTeam) {
  ASSERT_TRUE(KXAddTeam("Sales"));
  ASSERT_TRUE(KXAddTeam("Support"));
  ASSERT_TRUE(KXAddUser("a@x.example", "A", false, false, "Sales", "", ""));
  ASSERT_TRUE(KXAddUser("b@x.example", "B", false, false, "SALES", "", ""));
  ASSERT_TRUE(KXAddUser("c@x.example", "C", false, false, "Sales,Support", "", ""));
  ASSERT_TRUE(KXAddUser("d@x.example", "D", false, false, "Support", "", ""));
  ASSERT_TRUE(KXAddUser("e@x.example", "E", false, false, "\"sales\",", "", ""));
  EXPECT_TRUE(KXDeleteTeam("sales"));
  EXPECT_FALSE(KXTeamExists("Sales"));
  EXPECT_EQ(TeamOf("a@x.example"), "DefaultTeam");
  EXPECT_EQ(TeamOf("b@x.example"), "DefaultTeam");
  EXPECT_EQ(TeamOf("c@x.example"), "Sales,Support");  // lists keep the name
  EXPECT_EQ(TeamOf("d@x.example"), "Support");
  EXPECT_EQ(TeamOf("e@x.example"), "DefaultTeam");
  EXPECT_FALSE(KXDeleteTeam("Sales"));
}

TEST_F(TeamsTest, LeaveTypesAreAddedFoundAndDeletedByName) {
  EXPECT_TRUE(KXAddLeaveType("Study"));
  EXPECT_FALSE(KXAddLeaveType("study"));
  EXPECT_TRUE(KXLeaveTypeExists("STUDY"));
  EXPECT_EQ(KXLeaveTypeCount(), 1);
  EXPECT_TRUE(KXDeleteLeaveType("Study "));
  EXPECT_FALSE(KXDeleteLeaveType("Study"));
  EXPECT_EQ(KXLeaveTypeCount(), 0);
  // The defaults are added once, existing ones skipped.
  ASSERT_TRUE(KXAddLeaveType("Sick"));
  EXPECT_TRUE(KXInitDefaultLeaveTypes());
  EXPECT_EQ(KXGetLeaveTypeNames(), (Names{"Sick", "holiday", "unpaid", "maternity", "other"}));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/settings"), "initleavetypes=0\r\n");
  ASSERT_TRUE(KXDeleteLeaveType("other"));
  EXPECT_TRUE(KXInitDefaultLeaveTypes());
  EXPECT_FALSE(KXLeaveTypeExists("other"));
  // Any value not beginning with "0" asks again.
  ASSERT_TRUE(KXOrgSetText(LKXOrg::kInitLeaveTypes, "yes"));
  EXPECT_TRUE(KXInitDefaultLeaveTypes());
  EXPECT_EQ(KXLeaveTypeCount(), 5);
}
