// The time sheet over real loopback HTTP: the worked example's periods, its
// picture, its totals, and what bad requests get.

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "web/pages/hours/day_timeline.h"

namespace {

class TimeSheetPageTest : public HoursPagesTest {};

std::string ActivityLink(const std::string& start, const std::string& last, const std::string& text) {
  return "<a href=\"viewactivity?seluser=staff%40x.example&date=2026-03-02&starttime=" + start + "&endtime=" + last +
         "\" title=\"view activities during this period\">" + text + "</a>";
}

std::string SummaryRow(bool shaded, const std::string& label, const std::string& value) {
  return std::string("<tr bgcolor=") + (shaded ? "#f5fafa" : "#ffffff") + "><td class=tdList><b>" + label +
         "</b></td><td class=tdList>" + value + "</td></tr>";
}

TEST_F(TimeSheetPageTest, WorkedExampleShowsEveryPeriodThePictureAndTheTotals) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string page = Get("timesheet?seluser=staff%40x.example&date=2026-03-02", SessionOf("mgr"));
  ASSERT_EQ(page.substr(0, 15), "HTTP/1.1 200 OK");
  const std::string manual =
      "<a href=\"viewmanual?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&edit=false\" "
      "title=\"view this manual hour entry\"><b>Manual</b></a>";
  const std::string rows =
      ListRow(true, {"09:00:00", "09:10:00", "00:10:00", ActivityLink("09:00:00", "09:09:59", "active")}) +
      ListRow(false, {"09:10:00", "09:15:00", "00:05:00", ActivityLink("09:10:00", "09:14:59", "idle")}) +
      ListRow(true, {"09:15:00", "09:20:00", "00:05:00", ActivityLink("09:15:00", "09:19:59", "active")}) +
      ListRow(false, {"09:20:00", "12:00:00", "02:40:00", "<b>Break</b>"}) +
      ListRow(true, {"12:00:00", "12:10:00", "00:10:00", ActivityLink("12:00:00", "12:09:59", "active")}) +
      ListRow(false, {"12:10:00", "13:00:00", "00:50:00", "<b>Break</b>"}) +
      ListRow(true, {"13:00:00", "14:00:00", "01:00:00", manual}) + "</tr></table>";
  EXPECT_TRUE(Contains(page, rows)) << page;
  EXPECT_TRUE(Contains(page, "class=tblList id=110>"));
  EXPECT_TRUE(Contains(page, "window.onload=function(){initSearchBar();initTable(\"110\");}"));
  EXPECT_TRUE(Contains(page, "<script type=\"text/javascript\" src=\"sorttable.js\"></script>"));
  EXPECT_TRUE(Contains(page, "<form action=\"timesheetpost\" method=post>"));

  // The picture comes before the table: a frame, one bar per period placed
  // by the minute (09:00 is 540 minutes plus the 20-unit margin), and the
  // legend of the five types.
  const std::size_t svg = page.find("<svg class=timeline");
  ASSERT_NE(svg, std::string::npos);
  EXPECT_LT(svg, page.find("class=tblList id=110"));
  EXPECT_TRUE(Contains(page, "<rect x=\"560.00\" y=\"4\" width=\"10.00\" height=\"28\" fill=\"#2e7d32\">"
                             "<title>active 09:00:00-09:10:00</title></rect>"));
  EXPECT_TRUE(Contains(page, "<rect x=\"800.00\" y=\"4\" width=\"60.00\" height=\"28\" fill=\"#1565c0\">"
                             "<title>manual 13:00:00-14:00:00</title></rect>"));
  const std::string picture = page.substr(svg, page.find("</svg>", svg) - svg);
  std::size_t rects = 0;
  for (std::size_t at = picture.find("<rect"); at != std::string::npos; at = picture.find("<rect", at + 1)) ++rects;
  EXPECT_EQ(rects, 1u + 7u + 5u);
  for (const char* name : {">active</text>", ">idle</text>", ">manual</text>", ">private</text>", ">break</text>"}) {
    EXPECT_TRUE(Contains(picture, name)) << name;
  }
  EXPECT_TRUE(Contains(picture, ">24:00</text>"));

  EXPECT_TRUE(Contains(page, SummaryRow(true, "Start Time", "09:00:00") + SummaryRow(false, "End Time", "14:00:00") +
                                 SummaryRow(true, "Active Time", "00:25:00") +
                                 SummaryRow(false, "Idle Time", "00:05:00") +
                                 SummaryRow(true, "Break Time", "03:30:00") +
                                 SummaryRow(false, "Lunch Time", "0 minutes") +
                                 SummaryRow(true, "Manual Time", "01:00:00") +
                                 SummaryRow(false, "Private Time", "00:00:00") +
                                 SummaryRow(true, "Total Worked Hours", "05:00:00") + "</table>"));
}

TEST_F(TimeSheetPageTest, PrivateTimeLinksInBoldAndTheSessionKeepsTheChoice) {
  ASSERT_TRUE(LKXCoreData::LogActivity(Email("staff"), At("2026-03-03", "08:00:00"), 120, 1, 4, 0, "game", "x"));
  const std::string session = SessionOf("staff");
  // "timesheetpost" takes the bar's own field names.
  EXPECT_TRUE(Contains(Post("timesheetpost", "userselect=staff%40x.example&dateinput=2026-03-03&submit=++Search++", session),
                       "starttime=08:00:00&endtime=08:01:59\" title=\"view activities during this period\"><b>Private</b></a>"));
  // Opened again without fields, the page shows the same day.
  EXPECT_TRUE(Contains(Get("timesheet", session), "<title>private 08:00:00-08:02:00</title>"));
}

TEST_F(TimeSheetPageTest, BadRequestsGetAMessageNeverACrash) {
  const struct {
    const char* query;
    const char* expected;
  } cases[] = {
      {"timesheet?seluser=staff%40x.example&date=2026-02-30",
       "<div><font color=#a00000>Please enter a valid date in the format YYYY-MM-DD.</font></div>"},
      {"timesheet?seluser=staff%40x.example&date=yesterday",
       "<div><font color=#a00000>Please enter a valid date in the format YYYY-MM-DD.</font></div>"},
      // An address nobody has: the first user the viewer may see instead.
      {"timesheet?seluser=%22%3E%3Cscript%3E&date=2026-03-02", "There are no items in this list"},
  };
  for (const auto& c : cases) {
    const std::string page = Get(c.query, SessionOf("staff"));
    EXPECT_TRUE(Contains(page, c.expected)) << c.query << "\n" << page;
    EXPECT_FALSE(Contains(page, "<script>")) << c.query;
    EXPECT_TRUE(Contains(page, "</html>")) << c.query;
  }
  EXPECT_TRUE(Contains(Get("timesheet?date=2026-03-02"), "Your session is expired."));
}

// Touching periods shorter than a minute are drawn as one bar per minute in
// the type that fills most of it; a gap or a long period ends such a bar.
TEST(DayTimeline, ShortTouchingPeriodsShareABar) {
  LTimePeriodList day;
  for (int s = 36000; s < 36090; s += 10) day.AddPeriod(s, s + 10, (s / 10) % 3 == 0 ? kKXPeriodIdle : kKXPeriodActive);
  day.AddPeriod(36100, 36110, kKXPeriodManual);  // after a gap
  day.AddPeriod(36110, 36230, kKXPeriodIdle);    // two minutes
  const std::string svg = KXDayTimelineSvg(day);
  std::size_t rects = 0;
  for (std::size_t at = svg.find("<title>"); at != std::string::npos; at = svg.find("<title>", at + 1)) ++rects;
  EXPECT_EQ(rects, 4u);
  EXPECT_NE(svg.find("<title>active 10:00:00-10:01:00</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>active 10:01:00-10:01:30</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>manual 10:01:40-10:01:50</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>idle 10:01:50-10:03:50</title>"), std::string::npos);
}

}  // namespace
