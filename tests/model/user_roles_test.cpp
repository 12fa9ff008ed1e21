// The last administrator keeps the role and the record.

#include "model/user_roles.h"

#include <gtest/gtest.h>

#include "model/users.h"
#include "registry_fixture.h"

namespace {

class UserRolesTest : public RegistryTest {};

TEST_F(UserRolesTest, LastAdministratorCannotLoseTheRoleOrBeDeleted) {
  ASSERT_TRUE(KXAddUser("a@x.example", "A", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("s@x.example", "S", false, false, "", "", "pw"));
  EXPECT_EQ(KXSetAdministrator("A@x.example", false), LKXRoleChange::kLastAdministrator);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("a@x.example"), LKXRoleChange::kLastAdministrator);
  EXPECT_EQ(KXSetAdministrator("s@x.example", true), LKXRoleChange::kDone);
  EXPECT_EQ(KXSetAdministrator("a@x.example", false), LKXRoleChange::kDone);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("s@x.example"), LKXRoleChange::kLastAdministrator);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("a@x.example"), LKXRoleChange::kDone);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("a@x.example"), LKXRoleChange::kNoSuchUser);
}

}  // namespace
