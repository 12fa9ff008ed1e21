// The unexplained-absence report: only the viewer's own staff, working days
// without work, leave or holiday, and a day whose manual entries were all
// deleted counts as absent again.

#include "web/pages/hours/unexplained_absence_page.h"

#include <gtest/gtest.h>

#include "manual_pages_fixture.h"
#include "web/pages/hours/manual_page_support.h"

namespace {

constexpr char kWeek[] = "unexplainedabsence?startdate=2026-03-02&enddate=2026-03-06";

class UnexplainedAbsencePageTest : public ManualPagesTest {
 protected:
  void SetUp() override {
    ManualPagesTest::SetUp();
    for (const char* email : {"staff@x.example", "plain@x.example"}) {
      LKXUser user;
      ASSERT_TRUE(KXGetUser(email, user));
      ASSERT_TRUE(user.SetNumber(kKXUserWorkDays, 62));  // Monday to Friday
      ASSERT_TRUE(user.SetText(kKXUserEmpStartDate, "2026-01-01 09:00:00"));
    }
    ASSERT_TRUE(KavrixWriteFile(ManualLog("staff@x.example", "2026-03-02"), "08:00:00,60,0,\"x\"\r\n"));
    std::string folder;
    ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("staff@x.example", folder));
    ASSERT_TRUE(KavrixWriteFile(folder + "/2026_leave.csv", "2026-03-04,2026-03-04,Sick,\"x\",1,\"\"\r\n"));
  }
};

const Strings kStaffRows = {"Staff &lt;S&gt;", "2026-03-03", "Tuesday", "&nbsp;", "2026-03-05", "Thursday",
                            "&nbsp;", "2026-03-06", "Friday"};

TEST_F(UnexplainedAbsencePageTest, EachViewerSeesOnlyTheirOwnStaff) {
  const Strings plainRows = {"Plain",  "2026-03-02", "Monday", "&nbsp;", "2026-03-03", "Tuesday", "&nbsp;",
                             "2026-03-04", "Wednesday", "&nbsp;", "2026-03-05", "Thursday", "&nbsp;",
                             "2026-03-06", "Friday"};
  const struct {
    const char* viewer;
    Strings cells;
  } roles[] = {{"mgr@x.example", kStaffRows}, {"mgr2@x.example", plainRows}, {"boss@x.example", {}},
               {"hr@x.example", {}},          {"staff@x.example", {}},       {"plain@x.example", {}}};
  for (const auto& role : roles) EXPECT_EQ(Cells(GetAs(role.viewer, kWeek)), role.cells) << role.viewer;
}

TEST_F(UnexplainedAbsencePageTest, ADayWhoseManualEntriesWereDeletedCountsAgain) {
  PostAs("staff@x.example", "viewmanualpost",
         "userselect=staff%40x.example&count=1&check0=checked&inputdate0=2026-03-02&inputtimestart0=08:00:00"
         "&inputtimeend0=08:01:00&submit=Delete+Selected+Items");
  Strings expected = {"Staff &lt;S&gt;", "2026-03-02", "Monday", "&nbsp;"};
  expected.insert(expected.end(), kStaffRows.begin() + 1, kStaffRows.end());
  EXPECT_EQ(Cells(GetAs("mgr@x.example", kWeek)), expected);
}

TEST_F(UnexplainedAbsencePageTest, RangeLimitsAndLastWeekByDefault) {
  EXPECT_FALSE(Contains(GetAs("mgr@x.example", "unexplainedabsence?startdate=2025-03-01&enddate=2026-03-02"),
                        kKXRangeOverAYear));  // 366 days
  EXPECT_TRUE(Contains(GetAs("mgr@x.example", "unexplainedabsence?startdate=2025-03-01&enddate=2026-03-03"),
                       kKXRangeOverAYear));  // 367 days
  EXPECT_TRUE(Contains(GetAs("mgr@x.example", "unexplainedabsence?startdate=2026-03-06&enddate=2026-03-02"),
                       kKXStartAfterEnd));
  const std::string page = GetAs("mgr@x.example", "unexplainedabsence");
  EXPECT_TRUE(Contains(page, "name=startdate id=startdate value=\"2026-03-02\""));
  EXPECT_TRUE(Contains(page, "name=enddate id=enddate value=\"2026-03-08\""));
  EXPECT_EQ(Cells(page), kStaffRows);
  EXPECT_TRUE(Contains(page, "window.onload=function(){initSearchBar();}"));
}

}  // namespace
