// The unexplained-absence report: working days without work, leave or
// holiday of the viewer's own staff, last week by default (a day whose manual entries were all
// deleted has no log: the manual log edit's test).

#include "web/pages/hours/unexplained_absence_page.h"

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/users.h"
#include "web/pages/hours/manual_page_support.h"

namespace {

constexpr char kWeek[] = "unexplainedabsence?startdate=2026-03-02&enddate=2026-03-06";
const Strings kStaffRows = {"Staff", "2026-03-03", "Tuesday", "", "2026-03-05", "Thursday", "", "2026-03-06", "Friday"};

class UnexplainedAbsencePageTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    for (const char* who : {"staff", "staff2"}) {
      SetText(who, kKXUserWorkDays, "62");  // Monday to Friday
      SetText(who, kKXUserEmpStartDate, "2026-01-01 09:00:00");
    }
    ASSERT_TRUE(KavrixWriteFile(ManualLog("staff", "2026-03-02"), "08:00:00,60,0,\"x\"\r\n"));
    WriteLog("staff", "2026", "2026-03-04,2026-03-04,Sick,\"x\",1,\"\"\r\n");
  }
  // The report's cells below its heading, row after row.
  static Strings Cells(const std::string& page) {
    Strings cells;
    for (const Strings& row : TableRows(page, 3, "Name")) cells.insert(cells.end(), row.begin(), row.end());
    return cells;
  }
};

TEST_F(UnexplainedAbsencePageTest, LastWeekByDefault) {
  const std::string page = Get("unexplainedabsence", SessionOf("mgr"));  // a session without a range yet
  EXPECT_EQ(HtmlPage(page).ById("startdate")->Attribute("value"), "2026-03-02");
  EXPECT_EQ(HtmlPage(page).ById("enddate")->Attribute("value"), "2026-03-08");
  EXPECT_EQ(Cells(page), kStaffRows);
}

}  // namespace
