// The work-hours report over real loopback HTTP, against logs with known
// totals: the worked example (break 210, active 25, idle 5, manual 60, total
// 300 minutes). The figures are the hours functions'; the page is checked
// for showing them, its links and its date messages (its sorting is the
// list's, who may see whom the viewer rule's).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "web/http/http_responses.h"
#include "web/pages/hours/report_dates.h"

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
}

TEST_F(ViewHoursPageTest, RangeLimitsAndBadDates) {
  const std::string staff = "seluser=staff%40x.example&startdate=";
  EXPECT_TRUE(Contains(Report("staff", staff + "2025-03-09&enddate=2026-03-10"), kKXRangeOverAYear));
  EXPECT_TRUE(Contains(Report("staff", staff + "2026-03-03&enddate=2026-03-02"), kKXStartAfterEnd));
  EXPECT_TRUE(Contains(Report("staff", staff + "2026-02-30&enddate=2026-03-02"), kKXDateNotValid));
}

}  // namespace
