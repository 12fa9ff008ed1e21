#include "model/new_user.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "model/new_user_check.h"
#include "model/teams.h"
#include "model/users.h"
#include "registry_fixture.h"

namespace {

// Stands in for the e-mail layer's check: an address holds an "@".
bool HasAt(std::string_view address) { return address.find('@') != std::string_view::npos; }

class NewUserTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, true, "", "", "pw"));
    ASSERT_TRUE(KXAddTeam("Sales"));
  }
};

}  // namespace

// The checks in the add-user form's order; `coming` are the addresses stored
// together with this one (the other rows of an import).
TEST_F(NewUserTest, ChecksInTheFormsOrder) {
  const struct { const char *email, *name, *team, *manager; bool is_new; LKXUserProblem problem; const char* item; }
  cases[] = {
      {"", "Ann", "", "", true, LKXUserProblem::kNoEmail, ""},
      {"ann", "", "", "", true, LKXUserProblem::kInvalidEmail, ""},
      {"ann@x.example", "", "Nope", "", true, LKXUserProblem::kNoName, ""},
      {"BOSS@x.example", "Boss", "", "", true, LKXUserProblem::kEmailTaken, ""},
      {"BOSS@x.example", "Boss", "", "", false, LKXUserProblem::kNone, ""},
      {"ann@x.example", "Ann", "Sales, Nope", "", true, LKXUserProblem::kNoTeam, "Nope"},
      {"ann@x.example", "Ann", "", "boss@x.example,eve@x.example", true, LKXUserProblem::kNoManager, "eve@x.example"},
      {"ann@x.example", "Ann", "", "cy@x.example", true, LKXUserProblem::kNone, ""},
      {"cy@x.example", "Cy", "", "CY@x.example", true, LKXUserProblem::kManagerSelf, ""},
  };
  const std::vector<std::string> coming = {"ann@x.example", "cy@x.example"};
  for (const auto& c : cases) {
    const LKXNewUser user{.email = c.email, .name = c.name, .team = c.team, .manager = c.manager};
    const LKXUserCheck check = KXCheckUser(user, c.is_new, &HasAt, coming);
    EXPECT_EQ(check.problem, c.problem) << c.email << " / " << c.team << " / " << c.manager;
    EXPECT_EQ(check.item, c.item) << c.email;
  }
}

// Names the stored record keeps (`kept`) pass their checks, whatever their
// letter case.
TEST_F(NewUserTest, KeptNamesPassTheirChecks) {
  EXPECT_EQ(KXCheckUserTeams({"Gone"}, {"gone"}).problem, LKXUserProblem::kNone);
  EXPECT_EQ(KXCheckUserManagers({"eve@x.example"}, "ann@x.example", {"EVE@x.example"}).problem,
            LKXUserProblem::kNone);
}

TEST_F(NewUserTest, CreatedUsersGetTheirWorkTimeAndAMailedPassword) {
  const LKXNewUser ann{.email = "ann@x.example", .name = "Ann"};
  ASSERT_TRUE(KXCreateUser(ann));
  EXPECT_TRUE(std::regex_match(Texts("ann@x.example", {kKXUserPassword}), std::regex("[a-z]{6}\\|")));
  EXPECT_EQ(Texts("ann@x.example", {kKXUserWorkDays, kKXUserPasswordReq, kKXUserManager, kKXUserTeam}),
            "62|1|boss@x.example|DefaultTeam|");
  // Only the seven day bits are kept.
  LKXNewUser cy{.email = "cy@x.example", .name = "Cy", .password = "typed", .workDays = 0x1ff,
                .workType = kKXWorkTypeCasual, .workHours = 20};
  ASSERT_TRUE(KXCreateUser(cy));
  EXPECT_EQ(Texts("cy@x.example", {kKXUserWorkDays, kKXUserWorkType, kKXUserWorkHours, kKXUserPassword,
                                    kKXUserPasswordReq}),
            "127|2|20|typed|0|");
}
