// The balance of a leave year: allowance (the user's own, else the
// organisation's default, else none kept) plus the year's carry-over, less
// the approved days of the types that count, each record in its own year.

#include "model/leave_balance.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "model/core_data.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/time_zone.h"

namespace {

constexpr char kUser[] = "ann@x.example";

class LeaveBalanceTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    for (std::string_view type : kKXDefaultLeaveTypes) ASSERT_TRUE(KXAddLeaveType(type));
    ASSERT_TRUE(KXAddUser(kUser, "Ann", false, false, "", "", "pw"));
  }
  static LKXLeaveBalance Balance(int year) {
    LKXUser user = UserOf(kUser);
    return KXLeaveBalance(user, year);
  }
  static void SetUserKey(const LKXUserKey& key, const char* value) { ASSERT_TRUE(UserOf(kUser).SetText(key, value)); }
  KavrixScopedTimeZone zone_{"Europe/Berlin"};
};

TEST_F(LeaveBalanceTest, AllowanceCarryOverAndCountedDays) {
  // 2026-12-21 is a Monday; the holiday on 2027-01-01 is not a leave day.
  ASSERT_TRUE(KXAddPublicHoliday("2027-01-01", "2027-01-01", "New Year"));
  WriteLeaveLog(kUser, "2026",
                "2026-03-09,2026-03-13,holiday,\"a\",1,\"\"\r\n"    // 5 days, approved
                "2026-04-06,2026-04-07,Holiday,\"b\",0,\"\"\r\n"    // pending
                "2026-05-04,2026-05-05,holiday,\"c\",-1,\"\"\r\n"   // disapproved
                "2026-06-01,2026-06-03,sick,\"d\",1,\"\"\r\n"       // does not count
                "2026-12-28,2026-12-31,holiday,\"e\",1,\"\"\r\n");  // the year end's December half: 4
  // The January half: 2 (4th, 5th).
  WriteLeaveLog(kUser, "2027", "2027-01-01,2027-01-05,holiday,\"e\",1,\"\"\r\n");
  // The organisation's default allowance, the user's own.
  const struct { const char *defaultAllowance, *allowance, *carryOver; int year; bool kept; int available, taken, left; }
  cases[] = {
      {"", "", "2026:3", 2026, false, 0, 0, 0}, {"20", "", "", 2026, true, 20, 9, 11},
      {"20", "25", "2025:9,2026:3", 2026, true, 28, 9, 19},
      {"", "25", "2026:3,2027:1", 2027, true, 26, 2, 24},
      {"", "5", "", 2026, true, 5, 9, -4},  // an overrun stays negative
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(KXOrgSetText(LKXOrg::kDefaultLeaveAllowanceDays, c.defaultAllowance));
    SetUserKey(kKXUserLeaveAllowanceDays, c.allowance);
    SetUserKey(kKXUserLeaveCarryOverDays, c.carryOver);
    const LKXLeaveBalance b = Balance(c.year);
    SCOPED_TRACE(std::string(c.allowance) + "/" + c.carryOver + "/" + std::to_string(c.year));
    ASSERT_EQ(b.kept, c.kept);
    if (!c.kept) continue;
    EXPECT_EQ(std::tuple(b.Available(), b.taken, b.Left()), std::tuple(c.available, c.taken, c.left));
  }
}

TEST_F(LeaveBalanceTest, TypesCountAsTheirRecordSaysAndPendingCountsWithoutApproval) {
  SetUserKey(kKXUserLeaveAllowanceDays, "10");
  WriteLeaveLog(kUser, "2026",
                "2026-03-09,2026-03-10,sick,\"\",1,\"\"\r\n"
                "2026-03-11,2026-03-11,holiday,\"\",0,\"\"\r\n"
                "2026-03-12,2026-03-12,holiday,\"\",-1,\"\"\r\n");
  EXPECT_EQ(Balance(2026).taken, 0);
  ASSERT_TRUE(KXSetLeaveTypeCounts("SICK", true));
  EXPECT_EQ(Balance(2026).taken, 2);
  ASSERT_TRUE(KXOrgSetBool(LKXOrg::kLeaveApprovalRequired, false));
  EXPECT_EQ(Balance(2026).taken, 3);  // the pending day; never the disapproved one
  ASSERT_TRUE(KXSetLeaveTypeCounts("holiday", false));
  EXPECT_EQ(Balance(2026).taken, 2);
}

}  // namespace
