#include "model/new_user_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/teams.h"
#include "model/users.h"
#include "registry_fixture.h"

namespace {

bool HasAt(std::string_view address) { return address.find('@') != std::string_view::npos; }

class NewUserCheckTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, true, "", "", "pw"));
    ASSERT_TRUE(KXAddTeam("Sales"));
  }
};

TEST_F(NewUserCheckTest, SingleFieldChecks) {
  EXPECT_EQ(KXCheckUserAddress("", &HasAt), LKXUserProblem::kNoEmail);
  EXPECT_EQ(KXCheckUserAddress("ann", &HasAt), LKXUserProblem::kInvalidEmail);
  EXPECT_EQ(KXCheckUserAddress("ann@x.example", &HasAt), LKXUserProblem::kNone);
  EXPECT_EQ(KXCheckUserName(""), LKXUserProblem::kNoName);
  EXPECT_EQ(KXCheckUserName("Ann"), LKXUserProblem::kNone);
  EXPECT_EQ(KXCheckUserAddressFree("BOSS@x.example"), LKXUserProblem::kEmailTaken);
  EXPECT_EQ(KXCheckUserAddressFree("ann@x.example"), LKXUserProblem::kNone);
  const std::vector<std::string> emails = {"ann@x.example", "", "ANN@x.example", "cy@x.example"};
  const LKXUserProblem twice[] = {LKXUserProblem::kNone, LKXUserProblem::kNone, LKXUserProblem::kEnteredTwice,
                                  LKXUserProblem::kNone};
  for (std::size_t i = 0; i < emails.size(); ++i) EXPECT_EQ(KXCheckEnteredOnce(emails, i), twice[i]) << i;
}

// `kept` and `known` let a form pass names its record holds already.
TEST_F(NewUserCheckTest, TeamsAndManagersInListOrder) {
  struct Case {
    std::vector<std::string> teams;
    std::vector<std::string> managers;
    std::vector<std::string> kept;
    LKXUserProblem problem;
    std::string item;
  };
  const Case cases[] = {
      {{"defaultteam", "SALES"}, {"boss@x.example"}, {}, LKXUserProblem::kNone, ""},
      {{"Sales", "Gone", "Nope"}, {}, {}, LKXUserProblem::kNoTeam, "Gone"},
      {{"Gone"}, {}, {"gone"}, LKXUserProblem::kNone, ""},
      {{}, {"eve@x.example", "ann@x.example"}, {}, LKXUserProblem::kNoManager, "eve@x.example"},
      {{}, {"eve@x.example"}, {"EVE@x.example"}, LKXUserProblem::kNone, ""},
      {{}, {"Ann@x.example", "eve@x.example"}, {"ann@x.example"}, LKXUserProblem::kManagerSelf, ""},
      {{"Nope"}, {"ann@x.example"}, {}, LKXUserProblem::kNoTeam, "Nope"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item + "/" + std::to_string(c.teams.size()) + "/" + std::to_string(c.managers.size()));
    LKXUserCheck check = KXCheckUserTeams(c.teams, c.kept);
    if (check.problem == LKXUserProblem::kNone) check = KXCheckUserManagers(c.managers, "ann@x.example", c.kept);
    EXPECT_EQ(check.problem, c.problem);
    EXPECT_EQ(check.item, c.item);
  }
}

}  // namespace
