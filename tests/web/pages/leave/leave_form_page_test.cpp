// The leave form over loopback HTTP: its checks in order, the stored rows,
// the flag and the log line, who may record leave for whom, and the line
// that confirms where the application went.

#include "web/pages/leave/leave_form_page.h"

#include <gtest/gtest.h>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/log_reader.h"
#include "web/pages/leave/leave_pages_common.h"

namespace {

const std::string kAccepted = Redirect("mainpage");

using LeaveFormTest = OfficeTest;

TEST_F(LeaveFormTest, RefusesWithTheMessageOnTheControlAndStoresNothing) {
  WriteLog("staff", "2026", "2026-04-06,2026-04-08,holiday,\"\",-1,\"\"\r\n");
  const struct {
    const char *from, *to, *extra;
    std::string message;
  } cases[] = {
      {"2026-3-10", "2026-03-10", "", kLLeaveDateInvalid},
      {"2026-03-11", "2026-03-10", "", kLLeaveDateOrder},
      {"2026-01-02", "2026-07-22", "", kLLeaveTooLong},
      {"2026-04-01", "2026-04-06", "", "Overlaps with existing record 2026-04-06 ~ 2026-04-08, please reenter."},
      {"2026-03-10", "2026-03-10", "&103=5", kLLeaveTypeInvalid},
  };
  for (const auto& c : cases) EXPECT_TRUE(Contains(PostForm("staff", c.from, c.to, c.extra), ErrorRow(c.message)));
  // With no types at all there is nothing to choose; the form says who helps.
  for (const std::string& type : KXGetLeaveTypeNames()) ASSERT_TRUE(KXDeleteLeaveType(type));
  EXPECT_TRUE(Contains(PostForm("staff", "2026-03-10", "2026-03-10"),
                       ErrorRow("No leave types are set up yet. Please ask your administrator to add them.")));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-04-06,2026-04-08,holiday,\"\",-1,\"\"\r\n");
  EXPECT_FALSE(Flag("staff", "LeaveApplicationEmail"));
}

TEST_F(LeaveFormTest, StoresTheRecordRaisesTheFlagAndLogsAShortSessionPrefix) {
  // 200 days in a year that is not a leap year pass.
  EXPECT_EQ(PostForm("staff", "2026-01-02", "2026-07-21", "&101=boss%40x.example&106=line%0D%0Atwo+%22q%22"),
            kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-01-02,2026-07-21,holiday,\"line  two \"\"q\"\"\",0,\"\"\r\n");
  EXPECT_EQ(ReadLog("boss", "2026"), "");  // the posted 101 is not trusted
  EXPECT_TRUE(Flag("staff", "LeaveApplicationEmail"));
  const std::string log = KavrixReadLogText();
  EXPECT_TRUE(Contains(
      log, "User staff@x.example just submitted a leave form (sess " + Session("staff").substr(0, 4) + "...)"));
  EXPECT_FALSE(Contains(log, Session("staff")));
}

// In call mode a manager records leave for his own staff only, with himself
// as the author; administrators for anyone. With the module off, nobody.
TEST_F(LeaveFormTest, CallModeRecordsTheLeaveOfOnesOwnStaff) {
  const HtmlPage form(GetAs("mgr", "leaveform?leavecall=true"));
  EXPECT_EQ(form.Field("103") + " " + form.Field("104") + " " + form.Field("107"), "1$sick 2026-03-10 mgr@x.example");
  EXPECT_FALSE(Contains(GetAs("mgr", "leaveform?leavecall=true"), "staff2@x.example"));
  EXPECT_TRUE(Contains(PostForm("mgr", "2026-03-10", "2026-03-10", "&leavecall=true&101=staff2%40x.example"),
                       ErrorRow(kLLeaveUserNotOffered)));
  EXPECT_EQ(PostForm("mgr", "2026-03-10", "2026-03-10", "&leavecall=true&101=STAFF%40x.example&107=x%40y"), kAccepted);
  EXPECT_EQ(PostForm("boss", "2026-03-10", "2026-03-10", "&leavecall=true&101=staff2%40x.example"), kAccepted);
  LSettingSetString("Settings", "ModeLeave", "0");
  EXPECT_NE(PostForm("staff", "2026-03-11", "2026-03-11"), kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-10,2026-03-10,holiday,\"trip\",0,\"mgr@x.example\"\r\n");
  EXPECT_EQ(ReadLog("staff2", "2026"), "2026-03-10,2026-03-10,holiday,\"trip\",0,\"boss@x.example\"\r\n");
}

// The page after the form names whoever approves, or says plainly that no
// one will (the line naming the one manager is the browser test's).
TEST_F(LeaveFormTest, TheNextPageConfirmsWhereTheApplicationWent) {
  SetText("staff2", kKXUserManager, "other@x.example,ghost@x.example");
  const auto confirmed = [&](const std::string& who, const char* from, const char* to, const std::string& line) {
    EXPECT_EQ(PostForm(who, from, to), kAccepted);
    EXPECT_TRUE(Contains(GetAs(who, "mainpage"), "<div class=kxconfirm role=status>" + line + "</div>")) << line;
  };
  confirmed("staff2", "2026-03-30", "2026-04-02",
            "Your leave application for 30 Mar-2 Apr was sent to Other and ghost@x.example for approval.");
  confirmed("boss", "2026-04-06", "2026-04-06",
            "Your leave application for 6 Apr was recorded; you have no manager to approve it.");
  LSettingSetString("Settings", "LeaveApprovalRequired", "0");
  confirmed("staff", "2026-12-30", "2027-01-04",
            "Your leave application for 30 Dec 2026-4 Jan 2027 was recorded; it needs no approval.");
}

}  // namespace
