// Leave balances where people meet them, over loopback HTTP on 2026-03-10:
// the leave report's line, the leave form's line before OK and the overrun
// said after it, the pending page's balance after approval (a leave across
// the year end in each year), HR keeping the allowance on the user details,
// and the team leave calendar as each role sees it, hostile names escaped.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "model/leave_balance.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/pages/leave/team_calendar_page.h"
#include "web/pages/users/user_detail_page.h"

namespace {

using Names = std::vector<std::string>;

// The calendar's rows: the names as a person reads them.
Names RowNames(const std::string& page) {
  Names names;
  const std::string mark = "<td class=kx-name>";
  for (std::size_t at = page.find(mark); at != std::string::npos; at = page.find(mark, at + 1)) {
    const std::size_t from = at + mark.size();
    names.push_back(Visible(page.substr(from, page.find("</td>", from) - from)));
  }
  return names;
}

std::string RowOf(const std::string& page, const std::string& name) {
  const std::size_t at = page.find("<td class=kx-name>" + name + "</td>");
  return at == std::string::npos ? "" : page.substr(at, page.find("</tr>", at) - at);
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class LeaveBalancePagesTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    SetKey("staff", kKXUserLeaveAllowanceDays, "10");
    SetKey("staff", kKXUserLeaveCarryOverDays, "2026:2");
    // Five approved holiday days, two approved sick days that do not count.
    WriteLog("staff", "2026",
             "2026-02-02,2026-02-06,holiday,\"ski\",1,\"\"\r\n"
             "2026-02-09,2026-02-10,sick,\"flu\",1,\"\"\r\n");
  }
  static void SetKey(const std::string& name, const LKXUserKey& key, const std::string& value) {
    LKXUser user;
    ASSERT_TRUE(KXGetUser(Email(name), user));
    ASSERT_TRUE(user.SetText(key, value));
  }
};

TEST_F(LeaveBalancePagesTest, TheReportTheFormAndTheOverrun) {
  const std::string report = Visible(Get("leavereport?seluser=staff%40x.example&year=2026", Session("mgr")));
  EXPECT_TRUE(Contains(report, "Leave balance 2026: 7 of 12 days left (allowance 10, carried over 2, taken 5)."))
      << report;
  EXPECT_FALSE(Contains(Visible(Get("leavereport?seluser=mgr%40x.example&year=2026", Session("mgr"))),
                        "Leave balance"));  // no allowance kept for mgr
  // Today, a Tuesday, is the form's default.
  EXPECT_TRUE(Contains(Visible(Get("leaveform", Session("staff"))),
                       "You have 7 of 12 days left in 2026; this request takes 1."));
  EXPECT_FALSE(Contains(Get("leaveform", Session("mgr")), "leavebalance"));
  // The organisation's default gives mgr an allowance too.
  ASSERT_TRUE(KXOrgSetText(LKXOrg::kDefaultLeaveAllowanceDays, "20"));
  EXPECT_TRUE(Contains(Visible(Get("leaveform", Session("mgr"))), "You have 20 of 20 days left in 2026"));

  // Two weeks, ten days: three more than are left. Allowed, and said.
  ASSERT_EQ(PostForm("staff", "2026-03-16", "2026-03-27"),
            "HTTP/1.0 302 OK\r\nLocation: mainpage\r\n"
            "X-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_TRUE(Contains(Visible(Get("mainpage", Session("staff"))),
                       "was sent to Mgr for approval. It exceeds the balance of 2026 by 3 days."));
  // A sick leave (type index 1) takes nothing from the balance.
  ASSERT_EQ(Post("leaveform", "submit=++OK++&103=1%24sick&104=2026-04-06&105=2026-04-30&106=x", Session("staff")),
            Redirect("mainpage"));
  EXPECT_FALSE(Contains(Get("mainpage", Session("staff")), "exceeds"));
  // A form sent back with an error (an overlap) shows the line for the dates typed.
  const std::string refused =
      Visible(Post("leaveform", "submit=++OK++&103=0%24holiday&104=2026-03-16&105=2026-03-17", Session("staff")));
  EXPECT_TRUE(Contains(refused, "You have 7 of 12 days left in 2026; this request takes 2.")) << refused;
}

TEST_F(LeaveBalancePagesTest, ThePendingPageShowsTheBalanceOnceApproved) {
  ASSERT_TRUE(KXAddPublicHoliday("2027-01-01", "2027-01-01", "New Year"));
  SetKey("staff", kKXUserLeaveCarryOverDays, "2026:2,2027:1");
  WriteLog("staff", "2026",
           ReadLog("staff", "2026") +
               "2026-04-06,2026-04-10,holiday,\"a\",0,\"\"\r\n"                  // 5 of the 7 left
               "2026-12-28,2026-12-31,holiday,\"b\",0,\"\"\r\n");                // 4 days in 2026...
  WriteLog("staff", "2027", "2027-01-01,2027-01-06,holiday,\"b\",0,\"\"\r\n");   // ...and 3 in 2027
  WriteLog("staff2", "2026", "2026-04-06,2026-04-06,holiday,\"c\",0,\"\"\r\n");  // no allowance kept
  const std::string mine = Visible(Get("pendingleaverequests", Session("mgr")));
  EXPECT_TRUE(Contains(mine, "Balance after approval")) << mine;
  EXPECT_TRUE(Contains(mine, "2 of 12 days left in 2026"));
  EXPECT_TRUE(Contains(mine, "3 of 12 days left in 2026 8 of 11 days left in 2027")) << mine;
  // An approved request is counted in the balance the next one is shown against.
  WriteLog("staff", "2026",
           "2026-02-02,2026-02-06,holiday,\"ski\",1,\"\"\r\n"
           "2026-04-06,2026-04-10,holiday,\"a\",1,\"\"\r\n"
           "2026-12-28,2026-12-31,holiday,\"b\",0,\"\"\r\n");
  const std::string page = Get("pendingleaverequests", Session("mgr"));
  EXPECT_TRUE(Contains(Visible(page), "-2 of 12 days left in 2026: 2 days over the balance")) << Visible(page);
  EXPECT_TRUE(Contains(page, "class=kxoverrun"));
  EXPECT_FALSE(Contains(Visible(Get("pendingleaverequests", Session("other"))), "days left"));
}

TEST_F(LeaveBalancePagesTest, HrAndAdministratorsKeepTheAllowanceOthersCannot) {
  struct Case {
    const char* who;
    const char* allowance;
    const char* carry;
    const char* stored;       // "LeaveAllowanceDays" afterwards
    const char* storedCarry;  // "LeaveCarryOverDays" afterwards
    const char* message;      // on the form, or null
  } cases[] = {
      {"hr", "25", "4", "25", "2026:4", nullptr},
      {"boss", "", "0", "", "", nullptr},
      {"hr", "367", "1", "", "", kKXDetailBadLeaveDays},
      {"hr", "12", "x", "", "", kKXDetailBadLeaveDays},
      {"mgr", "30", "9", "", "", nullptr},  // read-only: nothing saved
      {"staff", "30", "9", "", "", nullptr},
  };
  SetKey("staff", kKXUserLeaveAllowanceDays, "");
  SetKey("staff", kKXUserLeaveCarryOverDays, "");
  for (const Case& c : cases) {
    Get("userdetail?seluser=staff%40x.example", Session(c.who));
    const std::string answer =
        Post("userdetail",
             std::string("101=staff%40x.example&102=Staff&108=mgr%40x.example&rbg1=110&rbg2=210&rbg3=310&701=") +
                 c.allowance + "&702=" + c.carry + "&submit=++OK++",
             Session(c.who));
    if (c.message) {
      EXPECT_TRUE(Contains(Visible(answer), c.message)) << c.who << " " << c.allowance;
    }
    EXPECT_EQ(Text("staff", "LeaveAllowanceDays"), c.stored) << c.who << " " << c.allowance;
    EXPECT_EQ(Text("staff", "LeaveCarryOverDays"), c.storedCarry) << c.who << " " << c.allowance;
    if (c.message == nullptr && std::string(c.stored) == "25") {
      // The form shows what was stored.
      const std::string form = Get("userdetail?seluser=staff%40x.example", Session("hr"));
      EXPECT_TRUE(Contains(form, "name=701")) << form;
      EXPECT_TRUE(Contains(Visible(form), "Days carried over into 2026"));
    }
  }
}

TEST_F(LeaveBalancePagesTest, TheTeamCalendarShowsWhomEachRoleMaySee) {
  ASSERT_TRUE(KXAddUser("eve@x.example", "<b>Eve & \"Co\"</b>", false, false, "Sales", Email("other"), "pw"));
  WriteLog("staff", "2026",
           "2026-03-02,2026-03-03,holiday,\"a\",1,\"\"\r\n2026-03-05,2026-03-05,sick,\"b\",0,\"\"\r\n");
  WriteLog("staff2", "2026",
           "2026-03-09,2026-03-09,<i>odd</i>,\"c\",1,\"\"\r\n2026-03-12,2026-03-12,holiday,\"d\",-1,\"\"\r\n");
  const struct {
    const char* who;
    const char* query;
    Names rows;  // names, in registry order
  } cases[] = {
      {"staff", "", {"Staff"}},
      {"mgr", "", {"Mgr", "Staff"}},
      {"other", "?team=Sales", {"Staff Two", "<b>Eve & \"Co\"</b>"}},
      {"hr", "?month=2026-03", {"Boss", "Hr", "Mgr", "Other", "Staff", "Staff Two", "<b>Eve & \"Co\"</b>"}},
      {"boss", "?month=2026-03&team=sales", {"Staff Two", "<b>Eve & \"Co\"</b>"}},
  };
  for (const auto& c : cases) {
    const std::string page = Get(std::string("teamcalendar") + c.query, Session(c.who));
    EXPECT_TRUE(Contains(Visible(page), "March 2026")) << c.who;
    EXPECT_EQ(RowNames(page), c.rows) << c.who;
    EXPECT_FALSE(Contains(page, "<b>Eve")) << c.who;  // never as markup
  }
  const std::string hr = Get("teamcalendar?month=2026-03", Session("hr"));
  EXPECT_TRUE(Contains(hr, "&lt;b&gt;Eve &amp; &quot;Co&quot;&lt;/b&gt;"));
  EXPECT_FALSE(Contains(hr, "<i>odd"));
  EXPECT_TRUE(Contains(hr, "title=\"&lt;i&gt;odd&lt;/i&gt;\">&lt;</td>"));
  // Approved days in the type's colour, pending hatched, the disapproved one not at all.
  EXPECT_TRUE(Contains(hr, "title=\"holiday\">h</td>"));
  EXPECT_TRUE(Contains(hr, "kx-leave kx-pending") && Contains(hr, "title=\"sick (pending)\">s</td>"));
  EXPECT_EQ(Count(RowOf(hr, "Staff Two"), "kx-leave"), 1);  // not the disapproved day
  // Links to the months around, keeping the team; a bad month is this month.
  const std::string sales = Get("teamcalendar?month=2026-01&team=Sales", Session("boss"));
  EXPECT_TRUE(Contains(sales, "href=\"teamcalendar?month=2025-12&amp;team=Sales\""));
  EXPECT_TRUE(Contains(sales, "href=\"teamcalendar?month=2026-02&amp;team=Sales\""));
  EXPECT_TRUE(Contains(Visible(Get("teamcalendar?month=2026-13", Session("boss"))), "March 2026"));
  EXPECT_TRUE(Contains(Visible(Get("teamcalendar?team=Nobody", Session("boss"))), kLTeamCalendarNobody));
  // Leave management switched off.
  ASSERT_TRUE(KXOrgSetBool(LKXOrg::kModeLeave, false));
  EXPECT_TRUE(Contains(Get("teamcalendar", Session("boss")), "User Leave Management Module is disabled."));
}

TEST_F(LeaveBalancePagesTest, CalendarDaysAreShadedByWorkDaysAndHolidays) {
  ASSERT_TRUE(KXAddPublicHoliday("2026-03-17", "2026-03-17", "Feast"));
  SetKey("staff", kKXUserWorkDays, "6");  // Monday and Tuesday
  const std::string page = Get("teamcalendar?month=2026-03", Session("staff"));
  const std::size_t row = page.find("<td class=kx-name>Staff</td>");
  ASSERT_NE(row, std::string::npos);
  const std::string cells = page.substr(row, page.find("</tr>", row) - row);
  // 1 March 2026 is a Sunday: off, then Monday and Tuesday working, the
  // rest of the week off; the 17th (a Tuesday) a holiday.
  EXPECT_EQ(cells.substr(0, 200).find("<td class=kx-off></td><td></td><td></td><td class=kx-off>") != std::string::npos,
            true)
      << cells;
  EXPECT_TRUE(Contains(cells, "<td class=kx-holiday></td>"));
  EXPECT_TRUE(Contains(page, "<th class=kx-holiday title=\"2026-03-17\">17<br>T</th>"));
  EXPECT_TRUE(Contains(page, "<th title=\"2026-03-01\">1<br>S</th>"));
}

TEST_F(LeaveBalancePagesTest, AdministratorsChooseWhichLeaveTypesCount) {
  const LKXLeaveCounting before;
  EXPECT_TRUE(before.Counts("holiday"));
  EXPECT_FALSE(before.Counts("sick"));
  // Ticked rows switch: sick on, holiday off. Others' posts change nothing.
  const std::string body = "count=2&check0=sick&check1=holiday&submit=Switch+Counts+against+allowance";
  Post("leavetypepost", body, Session("hr"));
  EXPECT_TRUE(LKXLeaveCounting().Counts("holiday"));
  const std::string list = Visible(Post("leavetypepost", body, Session("boss")));
  EXPECT_TRUE(Contains(list, "Counts against allowance")) << list;
  const LKXLeaveCounting after;
  EXPECT_TRUE(after.Counts("sick"));
  EXPECT_FALSE(after.Counts("holiday"));
  // A new type counts only when ticked.
  Get("addleavetype", Session("boss"));
  Post("addleavetype", "101=training&102=on&submit=++OK++", Session("boss"));
  Post("addleavetype", "101=study&submit=++OK++", Session("boss"));
  EXPECT_TRUE(LKXLeaveCounting().Counts("training"));
  EXPECT_FALSE(LKXLeaveCounting().Counts("study"));
  EXPECT_TRUE(KXLeaveTypeExists("study"));
}

TEST(TeamCalendarMonths, ChosenMonthsAndSteps) {
  EXPECT_EQ(LTeamCalendarStep("2026-01", -1), "2025-12");
  EXPECT_EQ(LTeamCalendarStep("2026-12", 1), "2027-01");
  EXPECT_EQ(LTeamCalendarStep("2026-05", 1), "2026-06");
  EXPECT_EQ(LTeamCalendarMonthOr("2026-07"), "2026-07");
  for (const char* bad : {"2026-00", "2026-13", "2026-7", "26-07", "2026/07", "../x", ""}) {
    EXPECT_EQ(LTeamCalendarMonthOr(bad), LDateTime::Now().GetDateText().substr(0, 7)) << bad;
  }
}

}  // namespace
