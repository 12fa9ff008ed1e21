#include "model/users.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/test_helpers.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/user_roles.h"
#include "registry_fixture.h"
#include "support/time_zone.h"

namespace {

using UsersTest = RegistryTest;

// Address number `i`, in capitals for odd `variant`s: threads add the same
// addresses spelt differently.
std::string Address(int i, int variant) {
  std::string email = "user" + std::to_string(i) + "@office.example";
  if (variant % 2 != 0) std::transform(email.begin(), email.end(), email.begin(), ::toupper);
  return email;
}

}  // namespace

// One record byte for byte (a user without a password must set one; the
// last administrator is the default manager); an address is taken whatever
// its spelling; the connected flags are cleared for every user.
TEST_F(UsersTest, AddedUserIsOneRecordWithTheKeysInOrder) {
  KavrixScopedTimeZone utc("UTC0");
  LDateTime::SetFakeNow(1244622600);  // 2009-06-10 08:30:00 UTC
  ASSERT_TRUE(KXAddUser("Ann@Office.example", "Ann Smith", true, false, "", "", "secret"));
  ASSERT_TRUE(KXAddUser("bob@office.example", "Bob", false, true, "Sales, Support", "", ""));
  for (const char* refused : {"ANN@Office.Example", " ann@office.example ", "=\n"}) {
    EXPECT_FALSE(KXAddUser(refused, "Other", false, false, "", "", "")) << refused;
  }
  EXPECT_EQ(KavrixReadFile(UserRecord(1)),
            "email=bob@office.example\r\nname=Bob\r\naccessadmin=0\r\naccesshr=1\r\nteam=Sales, Support\r\n"
            "manager=Ann@Office.example\r\npasswordreq=1\r\nempstartdate=2009-06-10 08:30:00\r\n");
  EXPECT_EQ(KavrixReadFile(UsersFile()), "maxid=2\r\n");
  ASSERT_TRUE(LKXUser(UserRecord(0)).SetFlag(kKXUserConnected, true));
  EXPECT_TRUE(KXClearAllConnectedFlags());
  EXPECT_EQ(LKXUser(UserRecord(0)).GetString("Connected"), "0");
}

// The last administrator in list order, once one is deleted; a manager
// given is kept as given.
TEST_F(UsersTest, DefaultManagerIsTheLastAdministratorInListOrder) {
  for (const auto& [email, admin] : {std::pair{"u0@x.example", true}, {"u1@x.example", true}, {"u2@x.example", true}}) {
    ASSERT_TRUE(KXAddUser(email, "n", admin, false, "", "", ""));
  }
  ASSERT_TRUE(KXDeleteUser("U2@x.example"));
  EXPECT_FALSE(KXDeleteUser("u2@x.example") || KavrixFileExists(UserRecord(2)));
  ASSERT_TRUE(KXAddUser("new@x.example", "New", false, false, "", "", ""));
  ASSERT_TRUE(KXAddUser("other@x.example", "O", false, false, "", "u0@x.example", ""));
  EXPECT_EQ(Texts("new@x.example", {kKXUserManager}) + Texts("other@x.example", {kKXUserManager}),
            "u1@x.example|u0@x.example|");
}

TEST_F(UsersTest, ChangingAnAddressFollowsItIntoOperators) {
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", ""));
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "other@x.example , BOSS@x.example", ""));
  LKXUser ann = UserOf("ann@x.example");
  ASSERT_TRUE(ann.SetText(kKXUserLeaveApproveOperator, "Boss@x.example"));
  ASSERT_TRUE(ann.SetText(kKXUserLeaveDeletedOperator, "other@x.example"));
  EXPECT_FALSE(KXChangeUserEmail("boss@x.example", " \r\n") || KXChangeUserEmail("boss@x.example", "ANN@x.example"));
  ASSERT_TRUE(KXChangeUserEmail("boss@x.example", "chief@x.example"));
  EXPECT_FALSE(KXUserExists("boss@x.example"));
  EXPECT_EQ(Texts("ann@x.example", {kKXUserManager, kKXUserLeaveApproveOperator, kKXUserLeaveDeletedOperator}),
            "other@x.example,chief@x.example|chief@x.example|other@x.example|");
  // The letter case of one's own address may change.
  EXPECT_TRUE(KXChangeUserEmail("chief@x.example", "Chief@X.example"));
  EXPECT_EQ(Texts("chief@x.example", {kKXUserEmail}), "Chief@X.example|");
}

// The last administrator keeps the role and the record.
TEST_F(UsersTest, LastAdministratorCannotLoseTheRoleOrBeDeleted) {
  ASSERT_TRUE(KXAddUser("a@x.example", "A", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("s@x.example", "S", false, false, "", "", "pw"));
  EXPECT_EQ(KXSetAdministrator("A@x.example", false), LKXRoleChange::kLastAdministrator);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("a@x.example"), LKXRoleChange::kLastAdministrator);
  EXPECT_EQ(KXSetAdministrator("s@x.example", true), LKXRoleChange::kDone);
  EXPECT_EQ(KXDeleteUserKeepingAdministrator("a@x.example"), LKXRoleChange::kDone);
}

// Threads of this process and two others add the same addresses, spelt
// differently: each user is made once (the lock works in and across processes).
TEST_F(UsersTest, ThreadsAndProcessesAddingTheSameAddressesMakeEachUserOnce) {
  constexpr int kAddresses = 20;
  auto add_all = [](int variant) {
    int added = 0;
    for (int i = 0; i < kAddresses; ++i) {
      added += KXAddUser(Address((i + variant) % kAddresses, variant), "n", false, false, "", "", "");
    }
    return added;
  };
  TestChild first([&] { return add_all(1); }), second([&] { return add_all(2); });
  std::atomic<int> added{0};
  std::vector<std::jthread> threads;
  for (int t = 1; t <= 4; ++t) threads.emplace_back([&, t] { added += add_all(t * 37); });
  first.Release(), second.Release();
  threads.clear();
  EXPECT_EQ(added + first.Wait() + second.Wait(), kAddresses);
  EXPECT_EQ(KXUserCount(), kAddresses);
}
