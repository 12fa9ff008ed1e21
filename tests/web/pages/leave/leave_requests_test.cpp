// The pending-requests page and the leave report over loopback HTTP: rows,
// totals, the posting of approve / disapprove / apply / delete with the
// bytes left on disk and the flags raised, and the access rule per role.

#include <gtest/gtest.h>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/temp_root.h"

namespace {

const std::string kRow0 = "2026-03-02,2026-03-04,holiday,\"a\",0,\"\"\r\n";
const std::string kRow1 = "2026-03-16,2026-03-20,sick,\"b\",0,\"\"\r\n";

class LeaveRequestsTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    WriteLog("staff", "2026", kRow0 + kRow1);
  }
  // One ticked row of the pending page.
  static std::string PendingRow(int n, const std::string& user, const std::string& start, const std::string& end,
                                const std::string& type, const std::string& reason) {
    const std::string i = std::to_string(n);
    return "&check" + i + "=checked&inputuser" + i + "=" + user + "&inputstartdate" + i + "=" + start +
           "&inputenddate" + i + "=" + end + "&selecttype" + i + "=" + type + "&inputreason" + i + "=" + reason;
  }
  std::string Pending(const std::string& name, const std::string& submit, const std::string& rows,
                      const std::string& count = "1") {
    return Post("pendingleaverequestspost", "submit=" + submit + "&count=" + count + "&year=2026" + rows,
                Session(name));
  }
  std::string Report(const std::string& name, const std::string& submit, const std::string& rows,
                     const std::string& user = "staff%40x.example") {
    return Post("leavereportpost", "submit=" + submit + "&count=1&year=2026&seluser=" + user + rows, Session(name));
  }
};

TEST_F(LeaveRequestsTest, PendingPageListsTheManagersOwnStaffOnly) {
  WriteLog("staff", "2026", kRow0 + "2026-05-04,2026-05-04,sick,\"x\",1,\"\"\r\n");
  WriteLog("staff2", "2026", "2026-06-01,2026-06-01,other,\"o\",0,\"\"\r\n");
  const std::string page = Get("pendingleaverequests?direct=true", Session("mgr"));
  EXPECT_TRUE(Contains(page, "KavrixServer - Pending Leave Requests"));
  EXPECT_TRUE(Contains(page,
                       "<td align=center valign=top class=tdList><input type=checkbox name=\"check0\" "
                       "value=\"checked\" onclick=validate()></td><td align=left valign=top class=tdList>"
                       "Staff<input type=hidden name=inputuser0 value=\"staff@x.example\"></td>"));
  EXPECT_TRUE(Contains(page, "<select name=selecttype0><option value=\"0\" selected>holiday</option>"));
  EXPECT_TRUE(Contains(page, "<input type=text name=inputreason0 size=60 value=\"a\">"));
  EXPECT_TRUE(Contains(page, "<td align=left valign=top class=tdList>3</td>"));  // Mon to Wed
  EXPECT_FALSE(Contains(page, "2026-05-04"));                                    // approved
  EXPECT_FALSE(Contains(page, "2026-06-01"));                                    // not his staff
  EXPECT_TRUE(Contains(page, "<input name=count type=hidden value=\"1\"/>"));
  EXPECT_TRUE(Contains(page, "window.onload=function(){validate();initTable(\"110\");}"));
  // Column titles re-sort this page, not the leave report.
  EXPECT_TRUE(Contains(page, "<a href=\"pendingleaverequests?iCol=2&bAsc=1\" class=thList><b>Start Date</b></a>"));
  for (const char* name : {"hr", "boss"}) {  // rights do not widen the list
    EXPECT_TRUE(Contains(Get("pendingleaverequests", Session(name)), "There are no items in this list")) << name;
  }
}

TEST_F(LeaveRequestsTest, ApproveRewritesOnlyTheRowAndRaisesTheFlagOnce) {
  const std::string row = PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a");
  Pending("mgr", "Approve", row);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,holiday,\"a\",1,\"\"\r\n" + kRow1);
  EXPECT_TRUE(Flag("staff", "LeaveApproveEmail"));
  EXPECT_EQ(Text("staff", "LeaveApproveOperator"), "mgr@x.example");
  EXPECT_FALSE(KavrixFileExists(LeaveLog("staff", "2026").insert(LeaveLog("staff", "2026").rfind('/') + 1, "~")));

  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  staff.SetFlag(kKXUserLeaveApproveEmail, false);
  Report("boss", "Approve", row);  // approving an approved record again
  EXPECT_FALSE(Flag("staff", "LeaveApproveEmail"));
  Report("boss", "Disapprove", row);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,holiday,\"a\",-1,\"\"\r\n" + kRow1);
  EXPECT_TRUE(Flag("staff", "LeaveDisapproveEmail"));
  EXPECT_EQ(Text("staff", "LeaveDisapproveOperator"), "boss@x.example");
}

TEST_F(LeaveRequestsTest, ApplyKeepsStatusAndNamesTheEditorDeleteRemoves) {
  // A reason with a line break cannot start a record of its own.
  Pending("mgr", "Apply+Changes",
          PendingRow(0, "staff%40x.example", "2026-03-16", "2026-03-20", "2", "new%0D%0A2026-01-01"));
  EXPECT_EQ(ReadLog("staff", "2026"),
            kRow0 + "2026-03-16,2026-03-20,unpaid,\"new  2026-01-01\",0,\"mgr@x.example\"\r\n");
  Pending("mgr", "Delete+Selected+Items", PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-16,2026-03-20,unpaid,\"new  2026-01-01\",0,\"mgr@x.example\"\r\n");
  EXPECT_TRUE(Flag("staff", "LeaveDeletedEmail"));
  EXPECT_EQ(Text("staff", "LeaveDeletedOperator"), "mgr@x.example");
}

TEST_F(LeaveRequestsTest, PostsRepeatTheAccessRuleForEveryRow) {
  const std::string row = PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a");
  const std::string refused = "You may not change the leave of staff@x.example; nothing was changed.";
  // The user himself, another manager, HR and an administrator who are not
  // his manager may not act on the pending page.
  for (const char* name : {"staff", "other", "hr", "boss"}) {
    EXPECT_TRUE(Contains(Pending(name, "Approve", row), refused)) << name;
  }
  // On the leave report the user himself and another manager may not edit.
  for (const char* name : {"staff", "other", "staff2"}) {
    EXPECT_TRUE(Contains(Report(name, "Approve", row), refused)) << name;
  }
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + kRow1);
  EXPECT_FALSE(Flag("staff", "LeaveApproveEmail"));
  Report("hr", "Approve", row);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,holiday,\"a\",1,\"\"\r\n" + kRow1);
}

TEST_F(LeaveRequestsTest, BadRowsChangeNothingAndSaySo) {
  const std::string before = kRow0 + kRow1;
  EXPECT_TRUE(
      Contains(Pending("mgr", "Approve", PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-05", "0", "a")),
               "No leave record from 2026-03-02 to 2026-03-05 of staff@x.example in 2026; nothing was changed."));
  EXPECT_TRUE(
      Contains(Pending("mgr", "Approve", PendingRow(0, "ghost%40x.example", "2026-03-02", "2026-03-04", "0", "a")),
               "You may not change the leave of ghost@x.example"));
  // Rows beyond "count" and a "count" of a million.
  Pending("mgr", "Approve", PendingRow(1, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), before);
  const std::string page =
      Pending("mgr", "Approve", PendingRow(0, "staff%40x.example", "2026-03-16", "2026-03-20", "1", "b"), "1000000");
  EXPECT_TRUE(Contains(page, "Pending Leave Requests"));
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + "2026-03-16,2026-03-20,sick,\"b\",1,\"\"\r\n");
  const std::string badYear = Post("pendingleaverequestspost",
                                   "submit=Approve&count=1&year=..%2F2026" +
                                       PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a"),
                                   Session("mgr"));
  EXPECT_TRUE(Contains(badYear, "The year &quot;../2026&quot; is not a four-digit year; nothing was changed."));
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + "2026-03-16,2026-03-20,sick,\"b\",1,\"\"\r\n");
}

TEST_F(LeaveRequestsTest, ARemovedTypeIsKeptAndQuotedNamesStayOneColumn) {
  WriteLog("staff", "2026", "2026-03-02,2026-03-04,gone,\"a\",0,\"\"\r\n");
  ASSERT_TRUE(KXAddLeaveType("a,\"b\""));
  EXPECT_TRUE(Contains(Get("pendingleaverequests", Session("mgr")), "<option value=\"-1\" selected>gone</option>"));
  Pending("mgr", "Approve", PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "-1", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,gone,\"a\",1,\"\"\r\n");
  Pending("mgr", "Apply+Changes", PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "5", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,\"a,\"\"b\"\"\",\"a\",1,\"mgr@x.example\"\r\n");
}

TEST_F(LeaveRequestsTest, ReportAccessPerRole) {
  const std::string ofStaff = "leavereport?seluser=staff%40x.example&year=2026&edit=true";
  EXPECT_TRUE(Contains(Get(ofStaff, Session("staff")), "<small>Pending</small>"));
  EXPECT_FALSE(Contains(Get(ofStaff, Session("staff")), "name=inputreason0"));  // views, never edits
  for (const char* name : {"mgr", "hr", "boss"}) {
    EXPECT_TRUE(Contains(Get(ofStaff, Session(name)), "<input type=text name=inputreason0 size=60 value=\"a\">"))
        << name;
  }
  for (const char* name : {"other", "staff2"}) {
    EXPECT_TRUE(Contains(Get(ofStaff, Session(name)), "You do not have the authority to access this page!")) << name;
  }
}

TEST_F(LeaveRequestsTest, DisabledModuleAndDiscard) {
  EXPECT_TRUE(Contains(Pending("mgr", "Discard+Changes", ""), "Logged on as mgr@x.example"));
  EXPECT_TRUE(Contains(Get("leavereport?seluser=staff%40x.example&edit=true", Session("mgr")),
                       "onclick=\"window.location.href='leaveform?edit=true&amp;seluser=staff%40x.example&amp;"
                       "year=2026&amp;onok=leavereport&amp;oncancel=leavereport'\""));
  LSettingSetString("Settings", "ModeLeave", "0");
  const std::string disabled =
      "<p>User Leave Management Module is disabled. Please contact your system administrator to enable it.</p>"
      "<br/><input type=button value=\"  Go Back  \"";
  EXPECT_TRUE(Contains(Get("pendingleaverequests", Session("mgr")), disabled));
  EXPECT_TRUE(Contains(Get("leavereport", Session("mgr")), disabled));
  Pending("mgr", "Approve", PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + kRow1);
}

TEST_F(LeaveRequestsTest, TotalsCountApprovedDaysUnlessApprovalIsOff) {
  ASSERT_TRUE(KXAddPublicHoliday(LDateTime(1773230400), LDateTime(1773230400), "Mid"));  // Wed 2026-03-11
  WriteLog("staff", "2026",
           "2026-03-09,2026-03-13,holiday,\"\",1,\"\"\r\n2026-03-14,2026-03-14,holiday,\"\",1,\"\"\r\n"
           "2026-03-16,2026-03-17,sick,\"\",0,\"\"\r\n2026-03-18,2026-03-18,sick,\"\",-1,\"\"\r\n"
           "2026-03-19,2026-03-19,retired,\"\",1,\"\"\r\n");
  const std::string view = "leavereport?seluser=staff%40x.example&year=2026&edit=false";
  std::string page = Get(view, Session("mgr"));
  EXPECT_TRUE(Contains(page,
                       "<tr><td><b>holiday:</b>&nbsp;</td><td><b>4</b></td></tr>"
                       "<tr><td><b>sick:</b>&nbsp;</td><td><b>0</b></td></tr>"
                       "<tr><td><b>unpaid:</b>&nbsp;</td><td><b>0</b></td></tr>"));
  EXPECT_TRUE(Contains(page, "window.onload=function(){initSearchBar();initTable(\"110\");}"));
  LSettingSetString("Settings", "LeaveApprovalRequired", "0");
  page = Get(view, Session("mgr"));
  EXPECT_TRUE(Contains(page, "<tr><td><b>sick:</b>&nbsp;</td><td><b>3</b></td></tr>"));
}

// The page after a post counts the requests that changed; rows that
// changed nothing have their notice and are not counted.
TEST_F(LeaveRequestsTest, ThePageAfterAPostCountsTheRequestsThatChanged) {
  const std::string row0 = PendingRow(0, "staff%40x.example", "2026-03-02", "2026-03-04", "0", "a");
  const std::string row1 = PendingRow(1, "staff%40x.example", "2026-03-16", "2026-03-20", "1", "b");
  const std::string stray = PendingRow(1, "staff%40x.example", "2026-05-01", "2026-05-01", "1", "b");
  const struct {
    const char* name;
    std::string answer;
    const char* line;  // empty: none
  } cases[] = {
      {"two approved", Pending("mgr", "Approve", row0 + row1, "2"), "2 requests approved."},
      {"one disapproved", Pending("mgr", "Disapprove", row0), "1 request disapproved."},
      {"a stray row is not counted", Pending("mgr", "Delete+Selected+Items", row0 + stray, "2"), "1 request deleted."},
      {"apply on the report",
       Report("mgr", "Apply+Changes",
              "&inputstartdate0=2026-03-16&inputenddate0=2026-03-20"
              "&selecttype0=2&inputreason0=c"),
       "Changes saved."},
      {"another manager changes nothing", Pending("other", "Approve", row1), ""},
      {"a bad year changes nothing",
       Post("pendingleaverequestspost", "submit=Approve&count=1&year=20x6" + row1, Session("mgr")), ""},
  };
  for (const auto& c : cases) {
    const std::string line = std::string("<div class=kxconfirm role=status>") + c.line + "</div>";
    EXPECT_EQ(Contains(c.answer, *c.line != '\0' ? line : "kxconfirm"), *c.line != '\0') << c.name;
  }
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-16,2026-03-20,unpaid,\"c\",1,\"mgr@x.example\"\r\n");
}

}  // namespace
