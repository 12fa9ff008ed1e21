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

// The calendar's rows as a person reads them: the name, then one cell a day.
std::vector<Names> CalendarRows(const std::string& page) {
  std::vector<Names> rows;
  for (const Names& row : HtmlPage(page).Rows()) {
    if (row.size() >= 29 && row[0] != "Name") rows.push_back(row);  // not the heading
  }
  return rows;
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
  // No allowance is kept for mgr; today, a Tuesday, is the form's default.
  const struct {
    const char *who, *path, *line;
    bool shown;
  } lines[] = {
      {"mgr", "leavereport?seluser=staff%40x.example&year=2026",
       "Leave balance 2026: 7 of 12 days left (allowance 10, carried over 2, taken 5).", true},
      {"mgr", "leavereport?seluser=mgr%40x.example&year=2026", "Leave balance", false},
      {"staff", "leaveform", "You have 7 of 12 days left in 2026; this request takes 1.", true},
      {"mgr", "leaveform", "days left", false},
  };
  for (const auto& c : lines) EXPECT_EQ(Contains(Visible(GetAs(c.who, c.path)), c.line), c.shown) << c.path;
  // The organisation's default gives mgr an allowance too.
  ASSERT_TRUE(KXOrgSetText(LKXOrg::kDefaultLeaveAllowanceDays, "20"));
  EXPECT_TRUE(Contains(Visible(Get("leaveform", Session("mgr"))), "You have 20 of 20 days left in 2026"));

  // Two weeks, ten days: three more than are left. Allowed, and said.
  ASSERT_EQ(PostForm("staff", "2026-03-16", "2026-03-27"), Redirect("mainpage"));
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
  EXPECT_TRUE(Contains(mine, "Balance after approval") && Contains(mine, "2 of 12 days left in 2026")) << mine;
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
  const struct {
    const char *who, *allowance, *carry;
    const char *stored, *storedCarry;  // "LeaveAllowanceDays" and "LeaveCarryOverDays" afterwards
    const char* message;               // on the form
  } cases[] = {
      {"hr", "25", "4", "25", "2026:4", ""},
      {"boss", "", "0", "", "", ""},
      {"hr", "367", "1", "", "", kKXDetailBadLeaveDays},
      {"hr", "12", "x", "", "", kKXDetailBadLeaveDays},
      {"mgr", "30", "9", "", "", ""},  // read-only: nothing saved
      {"staff", "30", "9", "", "", ""},
  };
  SetKey("staff", kKXUserLeaveAllowanceDays, "");
  SetKey("staff", kKXUserLeaveCarryOverDays, "");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.who) + " " + c.allowance);
    // The form as shown, with the two days typed in (posted even where read-only).
    HtmlFields fields = HtmlPage(Get("userdetail?seluser=staff%40x.example", Session(c.who))).Fields();
    std::erase_if(fields, [](const auto& field) { return field.first == "701" || field.first == "702"; });
    const std::string typed = std::string("701=") + c.allowance + "&702=" + c.carry + "&submit=++OK++";
    const std::string answer = Post("userdetail", Encode(fields, typed), Session(c.who));
    EXPECT_TRUE(Contains(Visible(answer), c.message));
    EXPECT_EQ(Text("staff", "LeaveAllowanceDays"), c.stored);
    EXPECT_EQ(Text("staff", "LeaveCarryOverDays"), c.storedCarry);
  }
}

TEST_F(LeaveBalancePagesTest, TheTeamCalendarShowsWhomEachRoleMaySee) {
  const std::string eve = "<b>Eve & \"Co\"</b>";
  ASSERT_TRUE(KXAddUser("eve@x.example", eve, false, false, "Sales", Email("other"), "pw"));
  WriteLog("staff", "2026",
           "2026-03-02,2026-03-03,holiday,\"a\",1,\"\"\r\n2026-03-05,2026-03-05,sick,\"b\",0,\"\"\r\n");
  WriteLog("staff2", "2026",
           "2026-03-09,2026-03-09,<i>odd</i>,\"c\",1,\"\"\r\n2026-03-12,2026-03-12,holiday,\"d\",-1,\"\"\r\n");
  const struct {
    const char *who, *query;
    Names names;  // in registry order
  } cases[] = {
      {"staff", "", {"Staff"}},
      {"mgr", "", {"Mgr", "Staff"}},
      {"other", "?team=Sales", {"Staff Two", eve}},
      {"hr", "?month=2026-03", {"Boss", "Hr", "Mgr", "Other", "Staff", "Staff Two", eve}},
      {"boss", "?month=2026-03&team=sales", {"Staff Two", eve}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.who);
    const std::string page = Get(std::string("teamcalendar") + c.query, Session(c.who));
    EXPECT_TRUE(Contains(Visible(page), "March 2026"));
    Names names;
    for (const Names& row : CalendarRows(page)) names.push_back(row[0]);
    EXPECT_EQ(names, c.names);
    EXPECT_FALSE(Contains(page, "<b>Eve") || Contains(page, "<i>odd"));  // never as markup
  }
  // The first letter of the type on each day: approved, pending, the
  // disapproved one not at all.
  Names staff(32, ""), staff2(32, "");
  staff[0] = "Staff", staff[2] = staff[3] = "h", staff[5] = "s";
  staff2[0] = "Staff Two", staff2[9] = "<";
  const std::string hr = Get("teamcalendar?month=2026-03", Session("hr"));
  const std::vector<Names> rows = CalendarRows(hr);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[4], staff);
  EXPECT_EQ(rows[5], staff2);
  // Each day's type on hover, escaped.
  EXPECT_TRUE(Contains(hr, "title=\"holiday\">h</td>") && Contains(hr, "title=\"sick (pending)\">s</td>"));
  EXPECT_TRUE(Contains(hr, "title=\"&lt;i&gt;odd&lt;/i&gt;\">&lt;</td>"));
  // Links across the year end keep the team; a bad month is this month.
  EXPECT_TRUE(Contains(GetAs("boss", "teamcalendar?month=2026-01&team=Sales"), "month=2025-12&amp;team=Sales\""));
  EXPECT_TRUE(Contains(GetAs("boss", "teamcalendar?month=2026-12&team=Sales"), "month=2027-01&amp;team=Sales\""));
  for (const char* bad : {"2026-13", "2026-7", "..%2Fx"}) {
    EXPECT_TRUE(Contains(Visible(GetAs("boss", std::string("teamcalendar?month=") + bad)), "March 2026")) << bad;
  }
  EXPECT_TRUE(Contains(Visible(GetAs("boss", "teamcalendar?team=Nobody")), kLTeamCalendarNobody));
}

TEST_F(LeaveBalancePagesTest, CalendarDaysAreShadedByWorkDaysAndHolidays) {
  ASSERT_TRUE(KXAddPublicHoliday("2026-03-17", "2026-03-17", "Feast"));
  SetKey("staff", kKXUserWorkDays, "6");  // Monday and Tuesday
  const std::string page = Get("teamcalendar?month=2026-03", Session("staff"));
  const std::string row = page.substr(page.find("<td class=kx-name>Staff</td>"));
  // 1 March 2026 is a Sunday: off, then Monday and Tuesday working, the
  // rest of the week off; the 17th (a Tuesday) a holiday.
  EXPECT_TRUE(Contains(row.substr(0, 200), "<td class=kx-off></td><td></td><td></td><td class=kx-off>")) << row;
  EXPECT_TRUE(Contains(row.substr(0, row.find("</tr>")), "<td class=kx-holiday></td>"));
  EXPECT_TRUE(Contains(page, "<th class=kx-holiday title=\"2026-03-17\">17<br>T</th>"));
}

TEST_F(LeaveBalancePagesTest, AdministratorsChooseWhichLeaveTypesCount) {
  // Ticked rows switch: sick on, holiday off. Others' posts change nothing.
  const std::string body = "count=2&check0=sick&check1=holiday&submit=Switch+Counts+against+allowance";
  Post("leavetypepost", body, Session("hr"));
  EXPECT_TRUE(LKXLeaveCounting().Counts("holiday"));
  const std::string list = Visible(Post("leavetypepost", body, Session("boss")));
  EXPECT_TRUE(Contains(list, "Counts against allowance")) << list;
  EXPECT_TRUE(LKXLeaveCounting().Counts("sick") && !LKXLeaveCounting().Counts("holiday"));
  // A new type counts only when ticked.
  Get("addleavetype", Session("boss"));
  Post("addleavetype", "101=training&102=on&submit=++OK++", Session("boss"));
  Post("addleavetype", "101=study&submit=++OK++", Session("boss"));
  EXPECT_TRUE(LKXLeaveCounting().Counts("training") && !LKXLeaveCounting().Counts("study"));
}

}  // namespace
