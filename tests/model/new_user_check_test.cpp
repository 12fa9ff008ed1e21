#include "model/new_user_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/teams.h"
#include "model/users.h"
#include "registry_fixture.h"

namespace {

class NewUserCheckTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddTeam("Sales"));
  }
};

// The single-field checks run through the add-user form's test; here what
// only a list of rows or a stored record brings in.
TEST_F(NewUserCheckTest, AnAddressTwiceInTheRowsIsRefusedFromItsSecondRow) {
  const std::vector<std::string> emails = {"ann@x.example", "", "ANN@x.example"};
  EXPECT_EQ(KXCheckEnteredOnce(emails, 1), LKXUserProblem::kNone);
  EXPECT_EQ(KXCheckEnteredOnce(emails, 2), LKXUserProblem::kEnteredTwice);
}

// `kept` lets a form pass names its record holds already.
TEST_F(NewUserCheckTest, NamesTheRecordKeepsPassTheirChecks) {
  struct Case {
    std::vector<std::string> teams;
    std::vector<std::string> managers;
    std::vector<std::string> kept;
    LKXUserProblem problem;
  };
  const Case cases[] = {
      {{"Gone"}, {}, {"gone"}, LKXUserProblem::kNone},
      {{}, {"eve@x.example"}, {"EVE@x.example"}, LKXUserProblem::kNone},
      {{}, {"Ann@x.example", "eve@x.example"}, {"ann@x.example"}, LKXUserProblem::kManagerSelf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept.front());
    LKXUserCheck check = KXCheckUserTeams(c.teams, c.kept);
    if (check.problem == LKXUserProblem::kNone) check = KXCheckUserManagers(c.managers, "ann@x.example", c.kept);
    EXPECT_EQ(check.problem, c.problem);
  }
}

}  // namespace
