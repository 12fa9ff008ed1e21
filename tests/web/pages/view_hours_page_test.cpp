// The work-hours report over real loopback HTTP, against logs with known
// totals: the worked example (break 210, active 25, idle 5, manual 60, total
// 300 minutes) and a short day (active 10 minutes from 10:00).

#include <gtest/gtest.h>

#include <string>

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
const std::string kDateCell =
    "<a href=\"viewappusage?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&date=2026-03-02&"
    "direct=true\" title=\"View application usage for the day\">2026-03-02</a>&nbsp;<a "
    "href=\"viewscreens?seluser=staff%40x.example&date=2026-03-02\"><img src=\"screens.gif\" height=16 width=16 "
    "title=\"View screen shots\" alt=\"Screen Shots\" border=0></a>&nbsp;<a "
    "href=\"viewappusage?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&date=2026-03-02&"
    "direct=true\"><img src=\"appusage.gif\" height=16 width=16 title=\"View application usage\" alt=\"Application "
    "Usage\" border=0></a>";

std::string Sheet(const std::string& text) {
  return "<a href=\"timesheet?seluser=staff%40x.example&date=2026-03-02&starttime=00:00:00&endtime=24:00:00\" "
         "title=\"View the timesheet for the day\">" + text + "</a>";
}

const std::string kWorkedDayRow = ListRow(
    true, {"Staff", kDateCell, "09:00:00", "14:00:00", Sheet("03:30"), Sheet("00:25"), Sheet("00:05"),
           "<a href=\"viewmanual?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02\" title=\"View "
           "manual time sheet for the day\">01:00</a>",
           "<a href=\"viewactivity?seluser=staff%40x.example&date=2026-03-02&starttime=00:00:00&endtime=24:00:00\" "
           "title=\"View detailed activities for the day\"><b>05:00</b></a>",
           "&nbsp;", "&nbsp;"});

TEST_F(ViewHoursPageTest, OneWorkedDayShowsTheDayAndTheTotalButNoMean) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string page = Report("mgr", "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-08");
  EXPECT_TRUE(Contains(page, kWorkedDayRow +
                                 ListRow(false, {"Staff", "Total 1 days", "&nbsp;", "&nbsp;", "03:30", "00:25",
                                                 "00:05", "01:00", "05:00", "40:00", "<font color=#a00000>-35:00</font>"}) +
                                 "</tr></table>"))
      << page;
  EXPECT_FALSE(Contains(page, "Mean"));
  EXPECT_TRUE(Contains(page, "<form action=\"viewhourspost\" method=post>"));
  EXPECT_TRUE(Contains(page, "<a href=\"viewhours?direct=true&iCol=1&bAsc=1\" class=thList><b>Date</b></a>"));
  EXPECT_TRUE(Contains(page, "<a href=\"viewhours.csv?seluser=staff%40x.example&startdate=2026-03-02&"
                             "enddate=2026-03-08\" title=\"Download these rows as a CSV file\">Export CSV</a>"));
}

TEST_F(ViewHoursPageTest, NoWorkedDayShowsOnlyAZeroTotal) {
  const std::string page = Report("staff", "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-08");
  EXPECT_TRUE(Contains(page, "class=tblList id=110>") &&
              Contains(page, ListRow(true, {"Staff", "Total 0 days", "&nbsp;", "&nbsp;", "00:00", "00:00", "00:00",
                                            "00:00", "00:00", "40:00", "<font color=#a00000>-40:00</font>"}) +
                                 "</tr></table>"))
      << page;
}

TEST_F(ViewHoursPageTest, TwoUsersOverAWeekShowMeansAndTotalsBelowTheUsers) {
  WriteWorkedExample("staff", "2026-03-02");
  WriteActivity("staff", "2026-03-03", "10:00:00", 600);
  WriteWorkedExample("staff2", "2026-03-04");
  const std::string boss = SessionOf("boss");
  const std::string page =
      Get("viewhours?seluser=" + kUser + "%2Cstaff2%40x.example&startdate=2026-03-02&enddate=2026-03-08", boss);
  EXPECT_TRUE(Contains(
      page, ListRow(true, {"Staff", "Mean 2 days", "09:30", "12:05", "01:45", "00:17", "00:02", "00:30", "02:35",
                         "&nbsp;", "&nbsp;"}) +
                ListRow(false, {"Staff", "Total 2 days", "&nbsp;", "&nbsp;", "03:30", "00:35", "00:05", "01:00",
                                "05:10", "40:00", "<font color=#a00000>-34:50</font>"}) +
                ListRow(true, {"Staff Two", "Total 1 days", "&nbsp;", "&nbsp;", "03:30", "00:25", "00:05", "01:00",
                               "05:00", "40:00", "<font color=#a00000>-35:00</font>"}) +
                ListRow(false, {"Mean of 2", "&nbsp;", "&nbsp;", "&nbsp;", "03:30", "00:30", "00:05", "01:00",
                                "05:05", "40:00", "<font color=#a00000>-34:55</font>"}) +
                ListRow(true, {"Total of 2", "&nbsp;", "&nbsp;", "&nbsp;", "07:00", "01:00", "00:10", "02:00",
                               "10:10", "80:00", "<font color=#a00000>-69:50</font>"}) +
                "</tr></table>"))
      << page;
  EXPECT_FALSE(Contains(page, "2026-03-02</a>"));
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
    const std::string page =
        Report("staff", "seluser=" + kUser + "&startdate=" + c.start + "&enddate=" + c.end);
    SCOPED_TRACE(std::string(c.start) + " " + c.end);
    EXPECT_EQ(Contains(page, "Total 1 days"), c.message == nullptr);
    EXPECT_EQ(Contains(page, "Export CSV"), c.message == nullptr);
    if (c.message != nullptr) {
      EXPECT_TRUE(Contains(page, c.message)) << page;
    }
  }
  EXPECT_TRUE(Contains(Report("staff", "startdate=%3Cb%3E"), "name=startdate id=startdate value=\"&lt;b&gt;\""));
}

TEST_F(ViewHoursPageTest, PostSearchesOnlyForTheSearchButton) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string session = SessionOf("staff");
  const std::string fields = "seluser=" + kUser + "&startdate=2026-03-02&enddate=2026-03-02&submit=";
  EXPECT_TRUE(Contains(Post("viewhourspost", fields + "++SEARCH++", session), kWorkedDayRow));
  EXPECT_EQ(Post("viewhourspost", fields + "Delete", session), kLHttpNoContent);
  // The date calendar's link names the day with "date".
  EXPECT_TRUE(Contains(Get("viewhours?seluser=" + kUser + "&date=2026-03-02&enddate=2026-03-02&direct=true", session),
                       kWorkedDayRow));
}

TEST_F(ViewHoursPageTest, UsersTheViewerMayNotSeeAreNamedAndSkipped) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string page = Report(
      "mgr", "seluser=%3Cscript%3Ex%3C%2Fscript%3E%2C%2Cstaff2%40x.example%2C+staff%40x.example+&startdate=2026-03-02");
  EXPECT_TRUE(Contains(page, "<div>Only the manager of user &lt;script&gt;x&lt;/script&gt; can view the work "
                             "hours.</div><div>Only the manager of user staff2@x.example can view the work hours."
                             "</div>"))
      << page;
  EXPECT_FALSE(Contains(page, "<script>x"));
  EXPECT_TRUE(Contains(page, "Total 1 days"));
  EXPECT_FALSE(Contains(page, "Mean of"));
}

}  // namespace
