// The work-hours report as a CSV download: exact bytes, and what a request
// that cannot be answered gets.

#include "web/pages/hours/view_hours_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/public_holidays.h"
#include "model/users.h"

namespace {

class ViewHoursCSVTest : public HoursPagesTest {};

TEST_F(ViewHoursCSVTest, SameRowsAndTotalsAsThePageQuotedAsRFC4180) {
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  ASSERT_TRUE(staff.SetText(kKXUserName, "Doe, \"JJ\""));
  WriteWorkedExample("staff", "2026-03-02");
  WriteActivity("staff", "2026-03-03", "10:00:00", 600);
  const std::string answer =
      Get("viewhours.csv?seluser=staff%40x.example&startdate=2026-03-02&enddate=2026-03-08", SessionOf("mgr"));
  const std::string body =
      "Name,Email,Date,Time Start,Time End,Break(s) minutes,Break(s),Active minutes,Active,Idle minutes,Idle,"
      "Manual minutes,Manual,Total minutes,Total,Required minutes,Required,Difference minutes,Difference\r\n"
      "\"Doe, "
      "\"\"JJ\"\"\",staff@x.example,2026-03-02,09:00:00,14:00:00,210,03:30,25,00:25,5,00:05,60,01:00,300,05:00,,,,\r\n"
      "\"Doe, "
      "\"\"JJ\"\"\",staff@x.example,2026-03-03,10:00:00,10:10:00,0,00:00,10,00:10,0,00:00,0,00:00,10,00:10,,,,\r\n"
      "\"Doe, \"\"JJ\"\"\",staff@x.example,Mean 2 "
      "days,09:30,12:05,105,01:45,17,00:17,2,00:02,30,00:30,155,02:35,,,,\r\n"
      "\"Doe, \"\"JJ\"\"\",staff@x.example,Total 2 "
      "days,,,210,03:30,35,00:35,5,00:05,60,01:00,310,05:10,2400,40:00,-2090,-34:50\r\n";
  EXPECT_EQ(answer,
            "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/csv; "
            "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; "
            "filename=\"workhours_2026-03-02_2026-03-08.csv\"\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body);
}

TEST_F(ViewHoursCSVTest, TwoUsersEndWithTheReportMeanAndTotal) {
  WriteWorkedExample("staff", "2026-03-02");
  WriteWorkedExample("staff2", "2026-03-04");
  const std::string session = SessionOf("hr");
  // Fields left out come from the session, as the page last showed them.
  Get("viewhours?seluser=staff%40x.example%2Cstaff2%40x.example&startdate=2026-03-02&enddate=2026-03-08", session);
  const std::string body = Body(Get("viewhours.csv", session));
  EXPECT_TRUE(Contains(body,
                       "\r\nStaff,staff@x.example,Total 1 "
                       "days,,,210,03:30,25,00:25,5,00:05,60,01:00,300,05:00,2400,40:00,-2100,-35:00\r\n"
                       "Staff Two,staff2@x.example,Total 1 "
                       "days,,,210,03:30,25,00:25,5,00:05,60,01:00,300,05:00,2400,40:00,-2100,-35:00\r\n"
                       "Mean of 2,,,,,210,03:30,25,00:25,5,00:05,60,01:00,300,05:00,2400,40:00,-2100,-35:00\r\n"
                       "Total of 2,,,,,420,07:00,50,00:50,10,00:10,120,02:00,600,10:00,4800,80:00,-4200,-70:00\r\n"))
      << body;
}

// Required time and balance by the weekly warnings' rules, over a range
// from Thursday 2026-03-05 to Tuesday 2026-03-10 that cuts two weeks.
TEST_F(ViewHoursCSVTest, RequiredTimeAndBalanceFollowTheWeeklyRules) {
  WriteWorkedExample("staff", "2026-03-05");
  const struct {
    const char* what;
    int workType;
    int workDays;  // LWeekDay bits; 0 flexible
    bool leaveAndHoliday;
    const char* dayEnd;    // the worked day's last four cells
    const char* totalEnd;  // the user total's
  } cases[] = {
      {"Monday to Friday: 4 days of 8 hours", 0, 62, false, ",480,08:00,-180,-03:00", ",1920,32:00,-1620,-27:00"},
      {"flexible: each week touched owes the whole week", 0, 0, false, ",,,,", ",4800,80:00,-4500,-75:00"},
      {"casual: nothing owed", kKXWorkTypeCasual, 62, false, ",,,,", ",,,,"},
      {"a day of leave and a public holiday owe nothing", 0, 62, true, ",480,08:00,-180,-03:00",
       ",960,16:00,-660,-11:00"},
  };
  for (const auto& c : cases) {
    LKXUser staff;
    ASSERT_TRUE(KXGetUser(Email("staff"), staff));
    ASSERT_TRUE(staff.SetNumber(kKXUserWorkType, c.workType));
    ASSERT_TRUE(staff.SetNumber(kKXUserWorkDays, c.workDays));
    if (c.leaveAndHoliday) {
      ASSERT_TRUE(KXAddPublicHoliday("2026-03-09", "2026-03-09", "Monday off"));
      ASSERT_TRUE(LKXCoreData::LogLeaveEntry(Email("staff"), KavrixAt("2026-03-06", "00:00:00"),
                                             KavrixAt("2026-03-06", "00:00:00"), "holiday", "", ""));
    }
    const std::string body =
        Body(Get("viewhours.csv?seluser=staff%40x.example&startdate=2026-03-05&enddate=2026-03-10", SessionOf("mgr")));
    const std::string amounts = "210,03:30,25,00:25,5,00:05,60,01:00,300,05:00";
    EXPECT_TRUE(Contains(body, "\r\nStaff,staff@x.example,2026-03-05,09:00:00,14:00:00," + amounts + c.dayEnd +
                                   "\r\n"
                                   "Staff,staff@x.example,Total 1 days,,," +
                                   amounts + c.totalEnd + "\r\n"))
        << c.what << "\n"
        << body;
  }
}

TEST_F(ViewHoursCSVTest, RequestsThatCannotBeAnsweredSayWhyInPlainText) {
  const struct {
    const char* who;
    const char* query;
    const char* answer;
  } cases[] = {
      {"staff", "seluser=staff%40x.example&startdate=2025-03-09&enddate=2026-03-10",
       "HTTP/1.1 400 Bad Request\r\n|Date search range can not be longer a year!\r\n"},
      {"staff", "seluser=staff%40x.example&startdate=2026-02-30",
       "HTTP/1.1 400 Bad Request\r\n|Please enter a valid date in the format YYYY-MM-DD.\r\n"},
      {"staff", "seluser=staff%40x.example", "HTTP/1.1 400 Bad Request\r\n|Please choose a start date.\r\n"},
      {"other", "seluser=staff%40x.example&startdate=2026-03-02",
       "HTTP/1.1 403 Forbidden\r\n|Only the manager of user staff@x.example can view the work hours.\r\n"},
  };
  for (const auto& c : cases) {
    const std::string answer = Get(std::string("viewhours.csv?") + c.query, SessionOf(c.who));
    const std::string expected = c.answer;
    const std::size_t bar = expected.find('|');
    EXPECT_EQ(answer.substr(0, bar), expected.substr(0, bar)) << c.query;
    EXPECT_EQ(Body(answer), expected.substr(bar + 1)) << c.query;
    EXPECT_TRUE(Contains(answer, "Content-Type: text/plain; charset=utf-8\r\n")) << c.query;
  }
}

}  // namespace
