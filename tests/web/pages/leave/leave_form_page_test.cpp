// The leave form over loopback HTTP: one refusal of each kind, the stored
// rows, the flag and the log line (who may record leave for whom is the
// viewer rule's table).

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

}  // namespace
