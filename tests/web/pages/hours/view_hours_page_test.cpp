// The work-hours report over real loopback HTTP, against logs with known
// totals: the worked example (break 210, active 25, idle 5, manual 60, total
// 300 minutes) and a short day (active 10 minutes from 10:00).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "web/http/http_responses.h"

namespace {

class ViewHoursPageTest : public HoursPagesTest {
 protected:
  std::string Report(const std::string& viewer, const std::string& query) {
    return Get("viewhours?" + query, SessionOf(viewer));
  }
};

const std::string kUser = "staff%40x.example";
using Row = std::vector<std::string>;

TEST_F(ViewHoursPageTest, OneWorkedDayShowsTheDayAndTheTotalButNoMean) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string page = Report("mgr", "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-08");
  const HtmlPage report(page);
  EXPECT_TRUE(report.HasRow(
      {"Staff", "2026-03-02", "09:00:00", "14:00:00", "03:30", "00:25", "00:05", "01:00", "05:00", "", ""}));
  EXPECT_TRUE(
      report.HasRow({"Staff", "Total 1 days", "", "", "03:30", "00:25", "00:05", "01:00", "05:00", "40:00", "-35:00"}));
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
  EXPECT_EQ(report.Href("Date"), "viewhours?direct=true&iCol=1&bAsc=1");
  EXPECT_EQ(report.Href("Export CSV"),
            "viewhours.csv?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-08");
  EXPECT_EQ(report.Forms().at(0).action, "viewhourspost");
}

TEST_F(ViewHoursPageTest, NoWorkedDayShowsOnlyAZeroTotal) {
  const HtmlPage report(Report("staff", "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-08"));
  EXPECT_TRUE(
      report.HasRow({"Staff", "Total 0 days", "", "", "00:00", "00:00", "00:00", "00:00", "00:00", "40:00", "-40:00"}));
  EXPECT_FALSE(Contains(report.Text(), "2026-03-0"));
}

TEST_F(ViewHoursPageTest, TwoUsersOverAWeekShowMeansAndTotalsBelowTheUsers) {
  WriteWorkedExample("staff", "2026-03-02");
  WriteActivity("staff", "2026-03-03", "10:00:00", 600);
  WriteWorkedExample("staff2", "2026-03-04");
  const std::string boss = SessionOf("boss");
  const auto rows =
      HtmlPage(
          Get("viewhours?seluser=" + kUser + "%2Cstaff2%40x.example&startdate=2026-03-02&enddate=2026-03-08", boss))
          .Rows();
  const std::vector<Row> expected = {
      {"Staff", "Mean 2 days", "09:30", "12:05", "01:45", "00:17", "00:02", "00:30", "02:35", "", ""},
      {"Staff", "Total 2 days", "", "", "03:30", "00:35", "00:05", "01:00", "05:10", "40:00", "-34:50"},
      {"Staff Two", "Total 1 days", "", "", "03:30", "00:25", "00:05", "01:00", "05:00", "40:00", "-35:00"},
      {"Mean of 2", "", "", "", "03:30", "00:30", "00:05", "01:00", "05:05", "40:00", "-34:55"},
      {"Total of 2", "", "", "", "07:00", "01:00", "00:10", "02:00", "10:10", "80:00", "-69:50"}};
  const auto first = std::find(rows.begin(), rows.end(), expected[0]);
  ASSERT_LE(first + 5, rows.end());
  EXPECT_EQ(std::vector<Row>(first, first + 5), expected);
  // Only totals for more than one user: no day rows.
  for (const Row& row : rows) EXPECT_TRUE(row.size() < 2 || row[1] != "2026-03-02");
  // Sorted by total, descending: the report's rows still come last.
  const std::string sorted = Get("viewhours?iCol=8&bAsc=0", boss);
  EXPECT_LT(sorted.find("Total 2 days"), sorted.find("Total 1 days"));
  EXPECT_LT(sorted.find("Total 1 days"), sorted.find("Mean of 2"));
  EXPECT_LT(sorted.find("Mean of 2"), sorted.find("Total of 2"));
}

TEST_F(ViewHoursPageTest, RangeLimitsAndBadDates) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string kBad = "<div><font color=#a00000>Please enter a valid date in the format YYYY-MM-DD.</font></div>";
  const struct {
    const char* start;
    const char* end;
    const char* message;  // null: searched
  } cases[] = {
      {"2025-03-10", "2026-03-10", nullptr},  // 365 days after the start
      {"2025-03-09", "2026-03-10", "<div><font color=#a00000>Date search range can not be longer a year!</font></div>"},
      {"2026-03-03", "2026-03-02", "<div><font color=#a00000>Start date can not be after end date!</font></div>"},
      {"2026-02-29", "2026-03-02", kBad.c_str()},
      {"2026-03-02", "2026-13-01", kBad.c_str()},
      {"%3Cb%3E", "2026-03-02", kBad.c_str()},
  };
  for (const auto& c : cases) {
    const std::string page = Report("staff", "seluser=" + kUser + "&startdate=" + c.start + "&enddate=" + c.end);
    SCOPED_TRACE(std::string(c.start) + " " + c.end);
    EXPECT_EQ(Contains(page, "Total 1 days"), c.message == nullptr);
    EXPECT_EQ(Contains(page, "Export CSV"), c.message == nullptr);
    if (c.message != nullptr) {
      EXPECT_TRUE(Contains(page, c.message)) << page;
    }
  }
  EXPECT_EQ(HtmlPage(Report("staff", "startdate=%3Cb%3E")).Field("startdate"), "<b>");
}

TEST_F(ViewHoursPageTest, PostSearchesOnlyForTheSearchButton) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string session = SessionOf("staff");
  const std::string fields = "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-02&submit=";
  const std::string workedDay = "2026-03-02 09:00:00 14:00:00 03:30 00:25 00:05 01:00 05:00";
  EXPECT_TRUE(Contains(Visible(Post("viewhourspost", fields + "++SEARCH++", session)), workedDay));
  EXPECT_EQ(Post("viewhourspost", fields + "Delete", session), kLHttpNoContent);
  // The date calendar's link names the day with "date".
  EXPECT_TRUE(
      Contains(Visible(Get("viewhours?seluser=" + kUser + "&date=2026-03-02&enddate=2026-03-02&direct=true", session)),
               workedDay));
}

TEST_F(ViewHoursPageTest, UsersTheViewerMayNotSeeAreNamedAndSkipped) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string page = Report(
      "mgr", "seluser=%3Cscript%3Ex%3C%2Fscript%3E%2C%2Cstaff2%40x.example%2C+staff%40x.example+&startdate=2026-03-02");
  EXPECT_TRUE(Contains(Visible(page),
                       "Only the manager of user <script>x</script> can view the work hours. Only the "
                       "manager of user staff2@x.example can view the work hours."));
  EXPECT_FALSE(Contains(page, "<script>x"));
  EXPECT_TRUE(Contains(page, "Total 1 days"));
  EXPECT_FALSE(Contains(page, "Mean of"));
}

}  // namespace
