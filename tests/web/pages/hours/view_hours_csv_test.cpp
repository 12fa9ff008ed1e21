// The work-hours report as a CSV download: exact bytes with the mean and
// total rows, and what a request that cannot be answered gets (the required
// time itself is the hours functions', a refusal by role the viewer rule's).

#include "web/pages/hours/view_hours_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/users.h"

namespace {

using ViewHoursCSVTest = HoursPagesTest;

// Quoting a cell is the CSV writer's test.
TEST_F(ViewHoursCSVTest, SameRowsAndTotalsAsThePage) {
  WriteWorkedExample("staff", "2026-03-02");
  WriteActivity("staff", "2026-03-03", "10:00:00", 600);
  const std::string answer =
      Get("viewhours.csv?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-08", SessionOf("mgr"));
  const std::string body =
      "Name,Email,Date,Time Start,Time End,Break(s) minutes,Break(s),Active minutes,Active,Idle minutes,Idle,"
      "Manual minutes,Manual,Total minutes,Total,Required minutes,Required,Difference minutes,Difference\r\n"
      "Staff,staff@x.example,2026-03-02,09:00:00,14:00:00,210,03:30,25,00:25,5,00:05,60,01:00,300,05:00,,,,\r\n"
      "Staff,staff@x.example,2026-03-03,10:00:00,10:10:00,0,00:00,10,00:10,0,00:00,0,00:00,10,00:10,,,,\r\n"
      "Staff,staff@x.example,Mean 2 days,09:30,12:05,105,01:45,17,00:17,2,00:02,30,00:30,155,02:35,,,,\r\n"
      "Staff,staff@x.example,Total 2 days,,,210,03:30,35,00:35,5,00:05,60,01:00,310,05:10,2400,40:00,-2090,-34:50\r\n";
  EXPECT_EQ(answer,
            "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/csv; "
            "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; "
            "filename=\"workhours_2026-03-02_2026-03-08.csv\"\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body);
}

TEST_F(ViewHoursCSVTest, RequestsThatCannotBeAnsweredSayWhyInPlainText) {
  const auto refused = [&](const std::string& who, const std::string& query, const std::string& head) {
    const std::string answer = Get("viewhours.csv?seluser=staff%40x.example" + query, SessionOf(who));
    EXPECT_TRUE(answer.starts_with(head + "\r\n") && Contains(answer, "Content-Type: text/plain; charset=utf-8\r\n"))
        << answer;
    return Body(answer);
  };
  EXPECT_EQ(refused("staff", "&startdate=2026-02-30", "HTTP/1.1 400 Bad Request"),
            "Please enter a valid date in the format YYYY-MM-DD.\r\n");
}

}  // namespace
