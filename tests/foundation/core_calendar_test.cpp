#include "foundation/core_calendar.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/test_hooks.h"
#include "support/time_zone.h"

namespace {

std::string Text(LDateTime moment) {
  std::string date, time;
  moment.GetDateTime(date, time);
  return date + " " + time;
}

// Points the fake clock at a local date and time of the current zone.
void SetNow(std::string_view date, std::string_view time) {
  LDateTime now;
  ASSERT_TRUE(now.SetDateTime(date, time));
  LDateTime::SetFakeNow(now.value);
}

class CoreCalendarTest : public ::testing::Test {
 protected:
  void TearDown() override { LFoundationResetForTests(); }
};

std::string LastWeekText() {
  LDateTime start, end;
  LKXCoreCalendar::GetLastWeek(start, end);
  return Text(start) + " .. " + Text(end);
}

}  // namespace

TEST_F(CoreCalendarTest, CurrentYearMonthFollowsTheLocalZone) {
  LDateTime::SetFakeNow(1243794599);  // 2009-05-31 18:29:59 UTC
  {
    KavrixScopedTimeZone zone("UTC");
    EXPECT_EQ(LKXCoreCalendar::GetCurrentYearMonth(), "2009-05");
  }
  {
    KavrixScopedTimeZone zone("Asia/Kolkata");
    EXPECT_EQ(LKXCoreCalendar::GetCurrentYearMonth(), "2009-05");
    LDateTime::SetFakeNow(1243794600);
    EXPECT_EQ(LKXCoreCalendar::GetCurrentYearMonth(), "2009-06");
  }
}

TEST_F(CoreCalendarTest, NextAndPreviousMonth) {
  for (const char* zone_name : {"UTC", "America/New_York", "Australia/Sydney", "Asia/Kolkata"}) {
    KavrixScopedTimeZone zone(zone_name);
    SCOPED_TRACE(zone_name);
    EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-12"), "2010-01");
    EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth("2010-01"), "2009-12");
    EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-01"), "2009-02");
    EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-02"), "2009-03");
    EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth("2009-03"), "2009-02");
    // Months holding a daylight-saving change in one zone or another.
    EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-03"), "2009-04");
    EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth("2009-11"), "2009-10");
    EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-10"), "2009-11");
    EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth("2009-04"), "2009-03");
  }
}

TEST_F(CoreCalendarTest, YearMonthTextIsReadByPosition) {
  KavrixScopedTimeZone zone("UTC");
  EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009/06"), "2009-07");   // any separator
  EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-06-15"), "2009-07");  // the day is ignored
  EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009-6"), "2009-07");
  EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("2009"), "2009-01");  // month 0 is December before
  EXPECT_EQ(LKXCoreCalendar::GetNextYearMonth("9999-01"), "");      // no such moment
  EXPECT_EQ(LKXCoreCalendar::GetPreviousYearMonth("2040-01"), "");
}

TEST_F(CoreCalendarTest, LastWeekRunsMondayToSundayBeforeToday) {
  KavrixScopedTimeZone zone("UTC");
  SetNow("2009-06-10", "12:00:00");  // Wednesday
  EXPECT_EQ(LastWeekText(), "2009-06-01 12:00:00 .. 2009-06-07 12:00:00");
  SetNow("2009-06-14", "12:00:00");  // Sunday: the week that ended a week ago
  EXPECT_EQ(LastWeekText(), "2009-06-01 12:00:00 .. 2009-06-07 12:00:00");
  SetNow("2009-06-08", "00:00:00");  // Monday
  EXPECT_EQ(LastWeekText(), "2009-06-01 00:00:00 .. 2009-06-07 00:00:00");
  SetNow("2009-06-13", "23:59:59");  // Saturday
  EXPECT_EQ(LastWeekText(), "2009-06-01 23:59:59 .. 2009-06-07 23:59:59");
  SetNow("2010-01-01", "09:00:00");  // across the year end
  EXPECT_EQ(LastWeekText(), "2009-12-21 09:00:00 .. 2009-12-27 09:00:00");
}

TEST_F(CoreCalendarTest, LastWeekKeepsClockTimeAcrossDaylightSaving) {
  KavrixScopedTimeZone zone("America/New_York");
  // Monday after the spring-forward Sunday: 86400-second steps back from
  // 00:30 would land on Saturday 23:30 and miss that Sunday.
  SetNow("2009-03-09", "00:30:00");
  EXPECT_EQ(LastWeekText(), "2009-03-02 00:30:00 .. 2009-03-08 00:30:00");
  SetNow("2009-03-10", "10:00:00");
  EXPECT_EQ(LastWeekText(), "2009-03-02 10:00:00 .. 2009-03-08 10:00:00");
  SetNow("2009-11-02", "23:30:00");  // Monday after the fall-back Sunday
  EXPECT_EQ(LastWeekText(), "2009-10-26 23:30:00 .. 2009-11-01 23:30:00");
}

TEST_F(CoreCalendarTest, LastWeekOfAnUnsetClockStaysUnset) {
  LDateTime::SetFakeNow(0);
  LDateTime start(5), end(5);
  LKXCoreCalendar::GetLastWeek(start, end);
  EXPECT_FALSE(start.IsSet());
  EXPECT_FALSE(end.IsSet());
}

TEST_F(CoreCalendarTest, ChangeDayTimeToTimeZoneWrapsAroundMidnight) {
  KavrixScopedTimeZone zone("UTC");
  auto shift = [](int from, int to, const char* text) {
    LDayTime day_time;
    day_time.SetText(text);
    return LKXCoreCalendar::ChangeDayTimeToTimeZone(from, to, day_time).GetText();
  };
  EXPECT_EQ(shift(0, 120, "23:30:00"), "01:30:00");
  EXPECT_EQ(shift(120, 0, "01:30:00"), "23:30:00");
  EXPECT_EQ(shift(330, -300, "12:00:00"), "01:30:00");
  EXPECT_EQ(shift(-300, 330, "20:00:00"), "06:30:00");
  EXPECT_EQ(shift(60, 60, "07:15:42"), "07:15:42");
  EXPECT_EQ(shift(0, 3 * 1440 + 60, "00:00:00"), "01:00:00");
  EXPECT_EQ(shift(2147483647, -2147483647 - 1, "00:00:00"), "19:45:00");  // no overflow
}

TEST_F(CoreCalendarTest, ChangeDayTimeIgnoresTodaysDaylightSavingChange) {
  KavrixScopedTimeZone zone("America/New_York");
  SetNow("2009-03-08", "12:00:00");
  LDayTime early;
  early.SetText("01:30:00");
  EXPECT_EQ(LKXCoreCalendar::ChangeDayTimeToTimeZone(0, 120, early).GetText(), "03:30:00");
  early.SetText("02:30:00");  // no such clock time today
  EXPECT_EQ(LKXCoreCalendar::ChangeDayTimeToTimeZone(0, 60, early).GetText(), "03:30:00");
}
