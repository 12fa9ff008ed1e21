// The pending-requests page and the leave report over loopback HTTP: what
// their rows show and send back, the bytes approve / disapprove / apply /
// delete leave on disk, the flags raised and the rule applied row by row.

#include <gtest/gtest.h>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "model/users.h"

namespace {

const std::string kRow0 = "2026-03-02,2026-03-04,holiday,\"a\",0,\"\"\r\n";
const std::string kRow1 = "2026-03-16,2026-03-20,sick,\"b\",0,\"\"\r\n";

// One ticked row of the pending page or the report.
std::string Tick(int n, const std::string& start, const std::string& end, const std::string& type,
                 const std::string& reason, const std::string& user = "staff%40x.example") {
  const std::string i = std::to_string(n);
  return "&check" + i + "=checked&inputuser" + i + "=" + user + "&inputstartdate" + i + "=" + start + "&inputenddate" +
         i + "=" + end + "&selecttype" + i + "=" + type + "&inputreason" + i + "=" + reason;
}
const std::string kTick0 = Tick(0, "2026-03-02", "2026-03-04", "0", "a");
const std::string kTick1 = Tick(1, "2026-03-16", "2026-03-20", "1", "b");

class LeaveRequestsTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    WriteLog("staff", "2026", kRow0 + kRow1);
  }
  std::string Pending(const std::string& name, const std::string& submit, const std::string& rows,
                      const std::string& count = "1", const std::string& year = "2026") {
    return PostAs(name, "pendingleaverequestspost", "submit=" + submit + "&count=" + count + "&year=" + year + rows);
  }
  std::string Report(const std::string& name, const std::string& submit, const std::string& rows) {
    return PostAs(name, "leavereportpost", "submit=" + submit + "&count=1&year=2026&seluser=staff%40x.example" + rows);
  }
};

// A type removed since is shown by its name and kept when approved.
TEST_F(LeaveRequestsTest, PendingPageListsTheManagersOwnStaffOnlyAndKeepsARemovedType) {
  const std::string approved = "2026-05-04,2026-05-04,sick,\"x\",1,\"\"\r\n";
  WriteLog("staff", "2026", "2026-03-02,2026-03-04,gone,\"a\",0,\"\"\r\n" + approved);
  WriteLog("staff2", "2026", "2026-06-01,2026-06-01,other,\"o\",0,\"\"\r\n");
  const HtmlPage page(GetAs("mgr", "pendingleaverequests?direct=true"));
  // Three working days; not the approved leave, nor that of others' staff.
  const std::string text = page.Text();
  EXPECT_TRUE(Contains(text, "Staff 2026-03-02 2026-03-04 3 ") && Contains(text, "gone")) << text;
  EXPECT_FALSE(Contains(text, "2026-05-04") || Contains(text, "2026-06-01"));
  EXPECT_EQ(page.Field("selecttype0"), "-1");
  Pending("mgr", "Approve", Tick(0, "2026-03-02", "2026-03-04", "-1", "a"));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,gone,\"a\",1,\"\"\r\n" + approved);
  // Rights do not widen the list.
  EXPECT_TRUE(Contains(GetAs("boss", "pendingleaverequests"), "There are no items in this list"));
}

TEST_F(LeaveRequestsTest, DecisionsRewriteOnlyTheRowAndRaiseTheFlagOnce) {
  Pending("mgr", "Approve", kTick0);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,holiday,\"a\",1,\"\"\r\n" + kRow1);
  EXPECT_TRUE(Flag("staff", "LeaveApproveEmail"));
  EXPECT_EQ(Text("staff", "LeaveApproveOperator"), "mgr@x.example");

  SetText("staff", kKXUserLeaveApproveEmail, "0");
  Report("boss", "Approve", kTick0);  // approving an approved record again
  EXPECT_FALSE(Flag("staff", "LeaveApproveEmail"));
  Report("hr", "Disapprove", kTick0);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-02,2026-03-04,holiday,\"a\",-1,\"\"\r\n" + kRow1);
  EXPECT_TRUE(Flag("staff", "LeaveDisapproveEmail"));
  EXPECT_EQ(Text("staff", "LeaveDisapproveOperator"), "hr@x.example");
}

// Each row names its user, so the post checks the rule for every row; and
// rows that name no record, no user or lie beyond "count" change nothing.
TEST_F(LeaveRequestsTest, RowsThatMayNotOrCannotChangeChangeNothing) {
  const struct {
    const char* who;
    std::string rows, says;
  } cases[] = {
      // Only his manager acts on the pending page, whatever the rights.
      {"hr", kTick0, "You may not change the leave of staff@x.example; nothing was changed."},
      {"mgr", Tick(0, "2026-03-02", "2026-03-05", "0", "a"),
       "No leave record from 2026-03-02 to 2026-03-05 of staff@x.example in 2026; nothing was changed."},
      {"mgr", kTick1, ""},
  };
  for (const auto& c : cases) EXPECT_TRUE(Contains(Pending(c.who, "Approve", c.rows), c.says)) << c.rows;
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + kRow1);
  EXPECT_FALSE(Flag("staff", "LeaveApproveEmail"));
  // A "count" of a million reads the rows there are.
  EXPECT_TRUE(Contains(Pending("mgr", "Approve", kTick1, "1000000"), "Pending Leave Requests"));
  EXPECT_EQ(ReadLog("staff", "2026"), kRow0 + "2026-03-16,2026-03-20,sick,\"b\",1,\"\"\r\n");
}

// Delete removes the ticked request; apply keeps the status and names the
// editor, and a reason with a line break cannot start a record of its own.
TEST_F(LeaveRequestsTest, DeleteAndApplyRewriteTheLog) {
  Pending("mgr", "Delete+Selected+Items", kTick0);
  EXPECT_TRUE(Contains(Report("mgr", "Apply+Changes",
                              "&inputstartdate0=2026-03-16&inputenddate0=2026-03-20&selecttype0=2"
                              "&inputreason0=c%0D%0A2026-01-01"),
                       "<div class=kxconfirm role=status>Changes saved.</div>"));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-16,2026-03-20,unpaid,\"c  2026-01-01\",0,\"mgr@x.example\"\r\n");
  EXPECT_TRUE(Flag("staff", "LeaveDeletedEmail"));
  EXPECT_EQ(Text("staff", "LeaveDeletedOperator"), "mgr@x.example");
}

}  // namespace
