// The leave form over loopback HTTP: its checks in order, the stored rows,
// the flag and the log line, and who may record leave for whom.

#include <gtest/gtest.h>

#include "foundation/settings_sections.h"
#include "leave_fixture.h"
#include "model/teams.h"
#include "support/log_reader.h"
#include "web/pages/leave_form_page.h"

namespace {

constexpr char kAccepted[] = "HTTP/1.0 302 OK\r\nLocation: mainpage\r\n\r\n";

using LeaveFormTest = LeavePagesTest;

TEST_F(LeaveFormTest, RefusesBadDatesWithTheMessageOnTheirControl) {
  WriteLog("staff", "2026", "2026-04-06,2026-04-08,holiday,\"\",-1,\"\"\r\n");
  WriteLog("staff", "2027", "2027-01-02,2027-01-02,sick,\"\",1,\"\"\r\n");
  const struct {
    const char* from;
    const char* to;
    std::string message;
  } cases[] = {
      {"2026-3-10", "2026-03-10", kLLeaveDateInvalid},
      {"2026-03-10", "", kLLeaveDateInvalid},
      {"2026-03-11", "2026-03-10", kLLeaveDateOrder},
      {"2026-01-02", "2026-07-22", kLLeaveTooLong},
      {"2026-04-01", "2026-04-06", "Overlaps with existing record 2026-04-06 ~ 2026-04-08, please reenter."},
      {"2026-12-30", "2027-01-02", "Overlaps with existing record 2027-01-02 ~ 2027-01-02, please reenter."},
  };
  for (const auto& c : cases) {
    const std::string answer = PostForm("staff", c.from, c.to);
    EXPECT_TRUE(Contains(answer, ErrorRow(c.message))) << c.from << " " << c.to;
  }
  // The to-date message sits on its own control, the others on the from date.
  EXPECT_TRUE(Contains(PostForm("staff", "2026-03-10", "x"), ErrorRow(kLLeaveDateInvalid) +
                                                                 "<tr bgcolor=#ffe0e0><td colspan=5>To Date: "));
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-04-06,2026-04-08,holiday,\"\",-1,\"\"\r\n");
  EXPECT_FALSE(Flag("staff", "LeaveApplicationEmail"));
}

// A type the list does not hold asks for one; with no types at all there is
// nothing to choose, and the form says who can help.
TEST_F(LeaveFormTest, ATypeOutsideTheListIsRefusedAndAnEmptyListSaysWhy) {
  EXPECT_TRUE(Contains(PostForm("staff", "2026-03-10", "2026-03-10", "&103=5"), ErrorRow(kLLeaveTypeInvalid)));
  for (const std::string& type : KXGetLeaveTypeNames()) ASSERT_TRUE(KXDeleteLeaveType(type));
  EXPECT_TRUE(Contains(PostForm("staff", "2026-03-10", "2026-03-10"),
                       ErrorRow("No leave types are set up yet. Please ask your administrator to add them.")));
  EXPECT_EQ(ReadLog("staff", "2026"), "");
}

TEST_F(LeaveFormTest, StoresTheRecordRaisesTheFlagAndLogsAShortSessionPrefix) {
  // 200 days in a year that is not a leap year pass.
  EXPECT_EQ(PostForm("staff", "2026-01-02", "2026-07-21",
                     "&101=boss%40x.example&106=line%0D%0Atwo+%22q%22"),
            kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-01-02,2026-07-21,holiday,\"line  two \"\"q\"\"\",0,\"\"\r\n");
  EXPECT_EQ(ReadLog("boss", "2026"), "");  // the posted 101 is not trusted
  EXPECT_TRUE(Flag("staff", "LeaveApplicationEmail"));
  const std::string id = Session("staff");
  const std::string log = KavrixReadLogText();
  EXPECT_TRUE(Contains(log, "User staff@x.example just submitted a leave form (sess " + id.substr(0, 4) + "...)"));
  EXPECT_FALSE(Contains(log, id));
}

TEST_F(LeaveFormTest, ALeaveOverTheYearEndIsStoredAsTwoRecords) {
  WriteLog("staff", "2026", "2026-12-20,2026-12-29,sick,\"\",-1,\"\"\r\n");
  EXPECT_EQ(PostForm("staff", "2026-12-30", "2027-01-02"), kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"),
            "2026-12-20,2026-12-29,sick,\"\",-1,\"\"\r\n2026-12-30,2026-12-31,holiday,\"trip\",0,\"\"\r\n");
  EXPECT_EQ(ReadLog("staff", "2027"), "2027-01-01,2027-01-02,holiday,\"trip\",0,\"\"\r\n");
}

TEST_F(LeaveFormTest, WithoutASessionNothingIsStored) {
  const std::string answer =
      Post("leaveform", "submit=++OK++&101=staff%40x.example&103=0%24holiday&104=2026-03-10&105=2026-03-10");
  EXPECT_TRUE(Contains(answer, "Your session is expired."));
  EXPECT_EQ(ReadLog("staff", "2026"), "");
}

TEST_F(LeaveFormTest, CallModeOffersTeamAndStaffAndRefusesOthers) {
  const std::string page = Get("leaveform?leavecall=true", Session("mgr"));
  EXPECT_TRUE(Contains(page, "<option value=\"staff@x.example\">Staff</option>"));
  EXPECT_FALSE(Contains(page, "staff2@x.example"));
  EXPECT_TRUE(Contains(page, "<option value=\"1$sick\" selected>sick</option>"));
  EXPECT_TRUE(Contains(page, "name=107 type=text value=\"mgr@x.example\""));

  EXPECT_TRUE(Contains(PostForm("mgr", "2026-03-10", "2026-03-10", "&leavecall=true&101=staff2%40x.example"),
                       ErrorRow(kLLeaveUserNotOffered)));
  EXPECT_EQ(ReadLog("staff2", "2026"), "");
  EXPECT_EQ(PostForm("mgr", "2026-03-10", "2026-03-10", "&leavecall=true&101=STAFF%40x.example&107=x%40y"),
            kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"), "2026-03-10,2026-03-10,holiday,\"trip\",0,\"mgr@x.example\"\r\n");
  // Administrators may record a call for anyone.
  EXPECT_EQ(PostForm("boss", "2026-03-10", "2026-03-10", "&leavecall=true&101=staff2%40x.example"), kAccepted);
}

TEST_F(LeaveFormTest, NormalModeShowsTheOwnRecordAndTheDisabledText) {
  const std::string page = Get("leaveform?101=boss%40x.example", Session("staff"));
  EXPECT_TRUE(Contains(page, "name=101 type=text value=\"staff@x.example\""));
  EXPECT_TRUE(Contains(page, "<option value=\"0$holiday\" selected>holiday</option>"));
  EXPECT_TRUE(Contains(page, "name=104 id=104 type=text value=\"2026-03-10\""));
  EXPECT_TRUE(Contains(page, kLLeaveFormNotice));
  LSettingSetString("Settings", "ModeLeave", "0");
  EXPECT_TRUE(Contains(Get("leaveform", Session("staff")),
                       "User Leave Management Module is disabled. Please contact your system administrator to "
                       "enable it."));
  EXPECT_NE(PostForm("staff", "2026-03-10", "2026-03-10"), kAccepted);
  EXPECT_EQ(ReadLog("staff", "2026"), "");
}

}  // namespace
