// The work-hours report over real loopback HTTP, against logs with known
// totals: the worked example (break 210, active 25, idle 5, manual 60, total
// 300 minutes). The figures are the hours functions'; the page is checked
// for showing them, its links, its order and its messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "web/http/http_responses.h"

namespace {

class ViewHoursPageTest : public HoursPagesTest {
 protected:
  void SetUp() override {
    HoursPagesTest::SetUp();
    WriteWorkedExample("staff", "2026-03-02");
  }
  std::string Report(const std::string& viewer, const std::string& query) {
    return Get("viewhours?" + query, SessionOf(viewer));
  }
};

const std::string kWeek = "seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-08";

TEST_F(ViewHoursPageTest, OneWorkedDayShowsTheDayAndTheTotalButNoMean) {
  const std::string page = Report("mgr", kWeek);
  const HtmlPage report(page);
  EXPECT_TRUE(report.HasRow(
      {"Staff", "2026-03-02", "09:00:00", "14:00:00", "03:30", "00:25", "00:05", "01:00", "05:00", "", ""}));
  EXPECT_TRUE(Contains(page, "<font color=#a00000>-35:00</font>"));  // short of the hours in red
  EXPECT_FALSE(Contains(report.Text(), "Mean"));
  // The day's links: usage, pictures, the time sheet, manual hours, activities.
  const std::string day = "seluser=staff%40x.example&date=2026-03-02";
  EXPECT_EQ(
      report.Href("2026-03-02"),
      "viewappusage?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&date=2026-03-02&direct=true");
  EXPECT_EQ(report.Href("03:30"), "timesheet?" + day + "&starttime=00:00:00&endtime=24:00:00");
  EXPECT_EQ(report.Href("01:00"), "viewmanual?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02");
  EXPECT_EQ(report.Href("05:00"), "viewactivity?" + day + "&starttime=00:00:00&endtime=24:00:00");
  EXPECT_TRUE(Contains(page, "href=\"viewscreens?" + day + "\""));
  EXPECT_EQ(report.Href("Export CSV"), "viewhours.csv?" + kWeek);
}

TEST_F(ViewHoursPageTest, TwoUsersShowOnlyTotalsAndTheReportRowsStayLastWhenSorted) {
  WriteWorkedExample("staff2", "2026-03-04");
  const std::string boss = SessionOf("boss");
  const HtmlPage report(
      Get("viewhours?seluser=staff%40x.example%2Cstaff2%40x.example&startdate=2026-03-02&enddate=2026-03-08", boss));
  EXPECT_TRUE(report.HasRow({"Total of 2", "", "", "", "07:00", "00:50", "00:10", "02:00", "10:00", "80:00", "-70:00"}));
  EXPECT_FALSE(Contains(report.Text(), "2026-03-02 09:00:00"));
  // Sorted by total, ascending: the report's rows still come last.
  const std::string sorted = Get("viewhours?iCol=8&bAsc=1", boss);
  EXPECT_LT(sorted.find("Total 1 days"), sorted.find("Mean of 2"));
  EXPECT_LT(sorted.find("Mean of 2"), sorted.find("Total of 2"));
}

TEST_F(ViewHoursPageTest, RangeLimitsAndBadDates) {
  const struct {
    const char* start;
    const char* end;
    const char* message;  // null: searched
  } cases[] = {
      {"2025-03-10", "2026-03-10", nullptr},  // 365 days after the start
      {"2025-03-09", "2026-03-10", "<div><font color=#a00000>Date search range can not be longer a year!</font></div>"},
      {"2026-03-03", "2026-03-02", "<div><font color=#a00000>Start date can not be after end date!</font></div>"},
      {"%3Cb%3E", "2026-03-02",
       "<div><font color=#a00000>Please enter a valid date in the format YYYY-MM-DD.</font></div>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + c.end);
    const std::string page =
        Report("staff", std::string("seluser=staff%40x.example&startdate=") + c.start + "&enddate=" + c.end);
    EXPECT_EQ(Contains(page, "Total 1 days"), c.message == nullptr);
    EXPECT_TRUE(c.message == nullptr || Contains(page, c.message));
  }
  EXPECT_EQ(HtmlPage(Report("staff", "startdate=%3Cb%3E")).Field("startdate"), "<b>");
}

TEST_F(ViewHoursPageTest, PostSearchesOnlyForTheSearchButton) {
  const std::string session = SessionOf("staff");
  const std::string fields = "seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&submit=";
  EXPECT_TRUE(Contains(Visible(Post("viewhourspost", fields + "++SEARCH++", session)), "Total 1 days"));
  EXPECT_EQ(Post("viewhourspost", fields + "Delete", session), kLHttpNoContent);
  // The date calendar's link names the day with "date".
  EXPECT_TRUE(Contains(
      Visible(Get("viewhours?seluser=staff%40x.example&date=2026-03-02&enddate=2026-03-02&direct=true", session)),
      "2026-03-02 09:00:00 14:00:00"));
}

TEST_F(ViewHoursPageTest, UsersTheViewerMayNotSeeAreNamedAndSkipped) {
  const std::string page = Report(
      "mgr", "seluser=%3Cscript%3Ex%3C%2Fscript%3E%2C%2Cstaff2%40x.example%2C+staff%40x.example+&startdate=2026-03-02");
  EXPECT_TRUE(Contains(Visible(page),
                       "Only the manager of user <script>x</script> can view the work hours. Only the "
                       "manager of user staff2@x.example can view the work hours."));
  EXPECT_FALSE(Contains(page, "<script>x"));
  EXPECT_TRUE(Contains(page, "Total 1 days"));
}

}  // namespace
