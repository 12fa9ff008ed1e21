// The time sheet over real loopback HTTP: the worked example's periods as
// the hours functions give them, their links and the day's totals.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "web/pages/hours/day_timeline.h"
#include "web/pages/hours/report_dates.h"

namespace {

using TimeSheetPageTest = HoursPagesTest;

// One period as the hours functions give it, the links of the periods and
// the day's totals (the picture is the browser test's).
TEST_F(TimeSheetPageTest, WorkedExampleShowsItsPeriodsWithTheirLinks) {
  WriteWorkedExample("staff", "2026-03-02");
  const HtmlPage sheet(GetAs("mgr", "timesheet?seluser=staff%40x.example&date=2026-03-02"));
  EXPECT_TRUE(sheet.HasRow({"09:10:00", "09:15:00", "00:05:00", "idle"}));
  // Each active or idle period links its activities, up to its last second.
  EXPECT_EQ(sheet.Href("idle"),
            "viewactivity?seluser=staff%40x.example&date=2026-03-02&starttime=09:10:00&endtime=09:14:59");
  EXPECT_EQ(sheet.Href("Manual"),
            "viewmanual?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-02&edit=false");
  // Each total under its own label.
  const std::vector<std::vector<std::string>> totals = {
      {"Start Time", "09:00:00"},   {"End Time", "14:00:00"},    {"Active Time", "00:25:00"},
      {"Idle Time", "00:05:00"},    {"Break Time", "03:30:00"},  {"Lunch Time", "0 minutes"},
      {"Manual Time", "01:00:00"},  {"Private Time", "00:00:00"}, {"Total Worked Hours", "05:00:00"}};
  for (const auto& row : totals) EXPECT_TRUE(sheet.HasRow(row)) << row[0];
}

}  // namespace
