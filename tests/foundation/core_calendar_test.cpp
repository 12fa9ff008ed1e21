#include "foundation/core_calendar.h"

#include "foundation/test_hooks.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

static std::string Text(LDateTime moment) { return moment.GetDateText() + " " + moment.GetTimeText(); }

// Points the fake clock at a local date and time of the current zone.
static void SetNow(const char* date, const char* time) { LDateTime::SetFakeNow(KavrixAt(date, time).value); }

class CoreCalendarTest : public ::testing::Test {
 protected:
  void TearDown() override { LFoundationResetForTests(); }
};

// The month texts are read by position; a month that cannot be a moment
// gives "".
TEST_F(CoreCalendarTest, NextAndPreviousMonth) {
  KavrixScopedTimeZone local("America/New_York");
  const char* next[][2] = {{"2009-12", "2010-01"}, {"2009-03", "2009-04"}, {"2009/06", "2009-07"}, {"9999-01", ""}};
  for (auto [from, to] : next) EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth(from), to) << from;
  const char* previous[][2] = {{"2010-01", "2009-12"}, {"2009-11", "2009-10"}, {"2040-01", ""}};
  for (auto [from, to] : previous) EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth(from), to) << from;
}

TEST_F(CoreCalendarTest, LastWeekRunsMondayToSundayBeforeTodayKeepingTheClockTime) {
  const char* cases[][4] = {
      {"UTC", "2009-06-14", "12:00:00", "2009-06-01 12:00:00 .. 2009-06-07 12:00:00"},  // Sunday
      {"UTC", "2009-06-08", "00:00:00", "2009-06-01 00:00:00 .. 2009-06-07 00:00:00"},  // Monday
      // Monday after spring-forward: 86400-second steps from 00:30 would
      // land on Saturday 23:30 and miss that Sunday.
      {"America/New_York", "2009-03-09", "00:30:00", "2009-03-02 00:30:00 .. 2009-03-08 00:30:00"},
      {"America/New_York", "2009-11-02", "23:30:00", "2009-10-26 23:30:00 .. 2009-11-01 23:30:00"},
  };
  for (auto [zone, date, time, expected] : cases) {
    KavrixScopedTimeZone local(zone);
    SetNow(date, time);
    LDateTime start, end;
    LKXCoreCalendar::GetLastWeek(start, end);
    EXPECT_EQ(Text(start) + " .. " + Text(end), expected) << zone << " " << date;
  }
}

// On 2009-03-08 New York springs forward: the shift ignores that, and 02:30,
// a clock time that does not exist that day, moves on.
TEST_F(CoreCalendarTest, ChangeDayTimeToTimeZoneWrapsAroundMidnight) {
  struct Case { const char* zone; int from, to; const char *text, *expected; } cases[] = {
      {"UTC", 0, 120, "23:30:00", "01:30:00"}, {"UTC", 120, 0, "01:30:00", "23:30:00"},
      {"UTC", 2147483647, -2147483647 - 1, "00:00:00", "19:45:00"},  // no overflow
      {"America/New_York", 0, 60, "02:30:00", "03:30:00"},
  };
  for (const Case& c : cases) {
    KavrixScopedTimeZone local(c.zone);
    SetNow("2009-03-08", "12:00:00");
    LDayTime day_time;
    day_time.SetText(c.text);
    EXPECT_EQ(LKXCoreCalendar::ChangeDayTimeToTimeZone(c.from, c.to, day_time).GetText(), c.expected)
        << c.zone << " " << c.from << " " << c.to << " " << c.text;
  }
}
