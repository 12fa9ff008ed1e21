// Leave balances where people meet them, over loopback HTTP on 2026-03-10
// (the arithmetic is the model's, checked here once): the leave report's
// line, the pending page's line, and the team leave calendar as each role
// sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "model/leave_balance.h"
#include "model/public_holidays.h"
#include "model/users.h"
#include "web/pages/leave/team_calendar_page.h"
#include "web/pages/users/user_detail_page.h"

namespace {

using Names = std::vector<std::string>;

class LeaveBalancePagesTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    SetText("staff", kKXUserLeaveAllowanceDays, "10");
    SetText("staff", kKXUserLeaveCarryOverDays, "2026:2");
    // Five approved holiday days, two approved sick days that do not count.
    WriteLog("staff", "2026",
             "2026-02-02,2026-02-06,holiday,\"ski\",1,\"\"\r\n"
             "2026-02-09,2026-02-10,sick,\"flu\",1,\"\"\r\n");
  }
};

// The arithmetic once, on the report; the form's line and the overrun said
// after it are the browser test's.
TEST_F(LeaveBalancePagesTest, TheReportShowsTheBalanceOnlyWhereAnAllowanceIsKept) {
  EXPECT_TRUE(Contains(Visible(GetAs("mgr", "leavereport?seluser=staff%40x.example&year=2026")),
                       "Leave balance 2026: 7 of 12 days left (allowance 10, carried over 2, taken 5)."));
  EXPECT_FALSE(Contains(Visible(GetAs("mgr", "leavereport?seluser=mgr%40x.example&year=2026")), "Leave balance"));
}

// The balance each request leaves once approved (the arithmetic across
// the year end and the overrun are the model's).
TEST_F(LeaveBalancePagesTest, ThePendingPageShowsTheBalanceOnceApproved) {
  WriteLog("staff", "2026", ReadLog("staff", "2026") + "2026-04-06,2026-04-10,holiday,\"a\",0,\"\"\r\n");
  WriteLog("staff2", "2026", "2026-04-06,2026-04-06,holiday,\"c\",0,\"\"\r\n");  // no allowance kept
  const std::string mine = Visible(GetAs("mgr", "pendingleaverequests"));
  EXPECT_TRUE(Contains(mine, "Balance after approval") && Contains(mine, "2 of 12 days left in 2026")) << mine;
  EXPECT_FALSE(Contains(Visible(GetAs("other", "pendingleaverequests")), "days left"));
}

TEST_F(LeaveBalancePagesTest, TheTeamCalendarShowsWhomEachRoleMaySee) {
  WriteLog("staff", "2026",
           "2026-03-02,2026-03-03,holiday,\"a\",1,\"\"\r\n2026-03-05,2026-03-05,sick,\"b\",0,\"\"\r\n");
  WriteLog("staff2", "2026", "2026-03-12,2026-03-12,holiday,\"d\",-1,\"\"\r\n");
  // A manager sees himself and his staff; a team is chosen by its name in
  // any letter case.
  const auto names = [&](const std::string& who, const std::string& path) {
    Names shown;
    for (const Names& row : TableRows(GetAs(who, path), 32, "Name")) shown.push_back(row[0]);
    return shown;
  };
  EXPECT_EQ(names("mgr", "teamcalendar"), (Names{"Mgr", "Staff"}));
  EXPECT_EQ(names("boss", "teamcalendar?month=2026-03&team=sales"), (Names{"Staff Two"}));
  // The first letter of the type on each day: approved, pending, the
  // disapproved one not at all.
  Names staff(32, ""), staff2(32, "");
  staff[0] = "Staff", staff[2] = staff[3] = "h", staff[5] = "s";
  staff2[0] = "Staff Two";
  const std::vector<Names> rows = TableRows(GetAs("hr", "teamcalendar?month=2026-03"), 32, "Name");
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(std::vector<Names>(rows.begin() + 4, rows.begin() + 6), (std::vector<Names>{staff, staff2}));
}

}  // namespace
