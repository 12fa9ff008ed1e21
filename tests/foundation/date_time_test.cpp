#include "foundation/date_time.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "foundation/scan_numbers.h"
#include "foundation/test_hooks.h"
#include "support/time_zone.h"

namespace {

// "YYYY-MM-DD HH:MM:SS" of a value, for compact expectations.
std::string Text(LDateTime moment) {
  std::string date, time;
  moment.GetDateTime(date, time);
  return date + " " + time;
}

LDateTime At(std::string_view date, std::string_view time) {
  LDateTime moment;
  EXPECT_TRUE(moment.SetDateTime(date, time)) << date << " " << time;
  return moment;
}

class DateTimeTest : public ::testing::Test {
 protected:
  void TearDown() override { LFoundationResetForTests(); }
};

}  // namespace

TEST_F(DateTimeTest, TextFormsInUtc) {
  KavrixScopedTimeZone zone("UTC");
  const LDateTime moment = At("2009-06-01", "12:34:56");
  EXPECT_EQ(moment.value, 1243859696);
  EXPECT_EQ(Text(moment), "2009-06-01 12:34:56");
  EXPECT_EQ(moment.GetDateText(), "2009-06-01");
  EXPECT_EQ(moment.GetTimeText(), "12:34:56");
  EXPECT_EQ(moment.GetTimeHHHMMHSS(), "12-34-56");
  EXPECT_EQ(moment.GetDayTime().value, 45296);
  EXPECT_EQ(At("2009-6-1", "8:5:3").GetTimeHHHMMHSS(), "08-05-03");
}

TEST_F(DateTimeTest, UnsetValueFormatsAsEmptyText) {
  KavrixScopedTimeZone zone("UTC");
  std::string date = "x", time = "y";
  LDateTime().GetDateTime(date, time);
  EXPECT_EQ(date, "");
  EXPECT_EQ(time, "");
  EXPECT_EQ(LDateTime().GetTimeHHHMMHSS(), "");
  EXPECT_EQ(LDateTime().GetDayTime().value, 0);
  EXPECT_TRUE(LDateTime().GetWeekDay().IsEmpty());
}

TEST_F(DateTimeTest, MissingFieldsDefaultAndEmptyDateClears) {
  KavrixScopedTimeZone zone("UTC");
  EXPECT_EQ(Text(At("2009", "")), "2009-01-01 00:00:00");
  EXPECT_EQ(Text(At("2009-06", "8")), "2009-06-01 08:00:00");
  EXPECT_EQ(Text(At("2009-06-05", "08:30")), "2009-06-05 08:30:00");
  EXPECT_EQ(Text(At(" 2009-06-05", " 08: 30")), "2009-06-05 08:30:00");
  EXPECT_EQ(Text(At("2009-06-05", "08 :30")), "2009-06-05 08:00:00");  // the ':' must follow at once

  LDateTime moment(1243859696);
  EXPECT_TRUE(moment.SetDateTime("", "12:00:00"));
  EXPECT_EQ(moment.value, 0);
}

TEST_F(DateTimeTest, UnconvertibleFieldsKeepTheOldValue) {
  KavrixScopedTimeZone zone("UTC");
  LDateTime moment(1243859696);
  EXPECT_FALSE(moment.SetDateTime("abc", "12:00:00"));     // no year at all
  EXPECT_FALSE(moment.SetDateTime("2100-01-01", ""));      // beyond 32 bits
  EXPECT_FALSE(moment.SetDateTime("1899-01-01", ""));      // 1899 means 3799
  EXPECT_FALSE(moment.SetDateTime("1900-01-01", ""));      // before 1901-12-13
  EXPECT_FALSE(moment.SetDateTime(2009, 2147483647, 1, 0, 0, 0));
  EXPECT_FALSE(moment.SetDateTime(2009, -2147483647 - 1, 1, 0, 0, 0));
  EXPECT_EQ(moment.value, 1243859696);
  EXPECT_TRUE(moment.SetDateTime("2038-01-19", "03:14:07"));
  EXPECT_EQ(moment.value, 2147483647);
  EXPECT_FALSE(moment.SetDateTime("2038-01-19", "03:14:08"));
  EXPECT_EQ(moment.value, 2147483647);
}

TEST_F(DateTimeTest, YearRule) {
  KavrixScopedTimeZone zone("UTC");
  EXPECT_EQ(At("9-06-01", "").GetDateText(), "2009-06-01");
  EXPECT_EQ(At("99-06-01", "").GetDateText(), "1999-06-01");
  EXPECT_EQ(At("2009-06-01", "").GetDateText(), "2009-06-01");
  EXPECT_FALSE(LDateTime().SetDateTime("69-06-01", ""));  // 2069 does not fit 32 bits
  EXPECT_EQ(At("70-01-02", "").GetDateText(), "1970-01-02");
  EXPECT_EQ(At("138-01-01", "").GetDateText(), "2038-01-01");
  EXPECT_EQ(At("1950-01-01", "").GetDateText(), "1950-01-01");
  EXPECT_LT(At("1950-01-01", "").value, 0);
}

TEST_F(DateTimeTest, FieldsRollOverLikeMktime) {
  KavrixScopedTimeZone zone("UTC");
  EXPECT_EQ(Text(At("2009-02-30", "00:00:00")), "2009-03-02 00:00:00");
  EXPECT_TRUE(LDateTime::ValidateDateYYYYHMMHDD("2009-02-30"));
  LDateTime moment;
  ASSERT_TRUE(moment.SetDateTime(2009, 1, 32, 0, 0, 0));
  EXPECT_EQ(Text(moment), "2009-02-01 00:00:00");
  ASSERT_TRUE(moment.SetDateTime(2009, 13, 1, 0, 0, 0));
  EXPECT_EQ(Text(moment), "2010-01-01 00:00:00");
  ASSERT_TRUE(moment.SetDateTime(2009, 6, 1, 24, 0, 0));
  EXPECT_EQ(Text(moment), "2009-06-02 00:00:00");
  ASSERT_TRUE(moment.SetDateTime(2009, 3, 1, 0, 0, -1));
  EXPECT_EQ(Text(moment), "2009-02-28 23:59:59");
  ASSERT_TRUE(moment.SetDateTime(2008, 3, 0, 0, 0, 0));
  EXPECT_EQ(Text(moment), "2008-02-29 00:00:00");
}

TEST_F(DateTimeTest, ValidateDate) {
  for (const char* good : {"", "2009-06-01", "1970-01-01", "2038-12-31", "2009-02-31", "2009-6-1"}) {
    EXPECT_TRUE(LDateTime::ValidateDateYYYYHMMHDD(good)) << good;
  }
  for (const char* bad : {"1969-12-31", "2039-01-01", "2009-13-01", "2009-00-10", "2009-06-32", "2009-06-00",
                          "2009-06", "2009", "abc", "2009/06/01", "09-06-01", "-2009-06-01", " "}) {
    EXPECT_FALSE(LDateTime::ValidateDateYYYYHMMHDD(bad)) << bad;
  }
}

TEST_F(DateTimeTest, DayTimeText) {
  LDayTime day_time;
  day_time.SetText("08:30");
  EXPECT_EQ(day_time.value, 30600);
  day_time.SetText("25:61:61");  // no range check
  EXPECT_EQ(day_time.value, 25 * 3600 + 61 * 60 + 61);
  day_time.SetText("");
  EXPECT_EQ(day_time.value, 0);
  day_time.SetText("99999999999:00:00");  // clamped, then wraps: no overflow trap
  day_time.SetTextHHHMMHSS("12-34-56");
  EXPECT_EQ(day_time.value, 45296);
  EXPECT_EQ(day_time.GetText(), "12:34:56");
  EXPECT_EQ(LDayTime(0).GetText(), "00:00:00");
  EXPECT_EQ(LDayTime(86399).GetText(), "23:59:59");
  EXPECT_EQ(LDayTime(90000).GetText(), "25:00:00");
  std::string out;
  LDayTime(3661)._GetText(out);
  EXPECT_EQ(out, "01:01:01");
}

TEST_F(DateTimeTest, ValidateClockTime) {
  for (const char* good : {"23:59", "08:30", "23:59:59", "00:00:00", "0:0", "8:5:3"}) {
    EXPECT_TRUE(LDayTime::ValidateDateHHCMMCSS(good)) << good;
  }
  for (const char* bad : {"24:00:00", "12:60", "12:00:60", "08", "", "-1:00", "12:-5", "12:00:-1", "ab:cd",
                          "08-30", "99999999999:00"}) {
    EXPECT_FALSE(LDayTime::ValidateDateHHCMMCSS(bad)) << bad;
  }
}

TEST_F(DateTimeTest, WeekDayBitsFollowTheLocalDate) {
  const LDateTime moment(1244664000);  // 2009-06-10 20:00:00 UTC
  {
    KavrixScopedTimeZone zone("America/New_York");
    EXPECT_EQ(moment.GetWeekDay().value, LWeekDay::kWednesday);
  }
  {
    KavrixScopedTimeZone zone("Australia/Sydney");  // already Thursday 06:00
    EXPECT_EQ(moment.GetWeekDay().value, LWeekDay::kThursday);
  }
  const LWeekDay weekend = LWeekDay::FromIndex(0) | LWeekDay::FromIndex(6);
  EXPECT_EQ(weekend.value, 65);
  EXPECT_TRUE(weekend.ContainsIndex(6));
  EXPECT_FALSE(weekend.ContainsIndex(1));
  EXPECT_FALSE(weekend.Contains(LWeekDay()));
  EXPECT_TRUE(LWeekDay::FromIndex(7).IsEmpty());
}

TEST_F(DateTimeTest, FakeClockIsTheOneNow) {
  LDateTime::SetFakeNow(1243859696);
  EXPECT_EQ(LDateTime::Now().value, 1243859696);
  LDateTime::ClearFakeNow();
  const std::int64_t real = time(nullptr);
  EXPECT_GE(LDateTime::Now().value, real);
  EXPECT_LE(LDateTime::Now().value, real + 5);
}

TEST_F(DateTimeTest, SetDayTimeKeepsTheDateAndUsesTodayForUnset) {
  KavrixScopedTimeZone zone("UTC");
  LDateTime moment = At("2009-06-01", "12:34:56");
  ASSERT_TRUE(moment.SetDayTime(LDayTime::FromHMS(23, 59, 59)));
  EXPECT_EQ(Text(moment), "2009-06-01 23:59:59");
  LDateTime::SetFakeNow(1244635200);  // 2009-06-10 12:00:00
  LDateTime unset;
  ASSERT_TRUE(unset.SetDayTime(LDayTime::FromHMS(8, 0, 0)));
  EXPECT_EQ(Text(unset), "2009-06-10 08:00:00");
}

// New York moved its clocks from 02:00 to 03:00 on 2009-03-08 and back from
// 02:00 to 01:00 on 2009-11-01.
TEST_F(DateTimeTest, NewYorkDaylightSaving) {
  KavrixScopedTimeZone zone("America/New_York");
  // A clock time that never happened moves forward with the clocks.
  EXPECT_EQ(Text(At("2009-03-08", "02:30:00")), "2009-03-08 03:30:00");
  EXPECT_EQ(At("2009-03-08", "02:30:00").value, 1236497400);
  // 86400-second steps drift by the hour the day lacks or has extra...
  LDateTime moment = At("2009-03-07", "12:00:00");
  moment += LDateTime::kOneDay;
  EXPECT_EQ(Text(moment), "2009-03-08 13:00:00");
  EXPECT_EQ(moment.GetDayTime().GetText(), "13:00:00");
  // ...which SetDayTime mends on the same date.
  ASSERT_TRUE(moment.SetDayTime(LDayTime::FromHMS(12, 0, 0)));
  EXPECT_EQ(Text(moment), "2009-03-08 12:00:00");
  moment = At("2009-11-01", "12:00:00");
  moment -= LDateTime::kOneDay;
  EXPECT_EQ(Text(moment), "2009-10-31 13:00:00");
  // Calendar steps keep the clock time across either change.
  moment = At("2009-03-07", "12:00:00");
  ASSERT_TRUE(moment.AddCalendarDays(1));
  EXPECT_EQ(Text(moment), "2009-03-08 12:00:00");
  ASSERT_TRUE(moment.AddCalendarDays(-129));
  EXPECT_EQ(Text(moment), "2008-10-30 12:00:00");
  EXPECT_EQ(LDateTime().AddCalendarDays(1), false);
}

TEST_F(DateTimeTest, LondonSummerTimeBoundary) {
  KavrixScopedTimeZone zone("Europe/London");
  EXPECT_EQ(Text(LDateTime(1238288399)), "2009-03-29 00:59:59");  // 00:59:59 UTC
  EXPECT_EQ(Text(LDateTime(1238288400)), "2009-03-29 02:00:00");  // 01:00:00 UTC
  EXPECT_EQ(Text(At("2009-03-29", "01:30:00")), "2009-03-29 02:30:00");
  EXPECT_EQ(At("2009-06-01", "00:00:00").value, 1243810800);  // 2009-05-31 23:00 UTC
}

TEST_F(DateTimeTest, ZonesEastOfUtc) {
  {
    KavrixScopedTimeZone zone("Asia/Kolkata");  // +05:30, no summer time
    EXPECT_EQ(At("2009-06-01", "00:00:00").value, 1243794600);
    EXPECT_EQ(Text(LDateTime(1243794599)), "2009-05-31 23:59:59");
  }
  {
    KavrixScopedTimeZone zone("Australia/Sydney");  // +10, +11 from October
    EXPECT_EQ(At("2009-06-01", "00:00:00").value, 1243778400);
    EXPECT_EQ(Text(At("2009-10-04", "02:30:00")), "2009-10-04 03:30:00");
    LDateTime moment = At("2009-10-03", "12:00:00");
    moment += LDateTime::kOneDay;
    EXPECT_EQ(Text(moment), "2009-10-04 13:00:00");
  }
}

TEST_F(DateTimeTest, ScanNumbersLikeScanf) {
  int parts[3] = {-7, -7, -7};
  EXPECT_EQ(LScanSeparatedInts("2009--5-x", '-', parts, 3), 2);
  EXPECT_EQ(parts[0], 2009);
  EXPECT_EQ(parts[1], -5);
  EXPECT_EQ(parts[2], -7);
  EXPECT_EQ(LScanSeparatedInts(std::string_view("12\0:30", 6), ':', parts, 3), 1);
  EXPECT_EQ(LScanSeparatedInts("+3:4:5:6", ':', parts, 3), 3);
  EXPECT_EQ(parts[2], 5);
  EXPECT_EQ(LScanSeparatedInts("99999999999999999999", ':', parts, 1), 1);
  EXPECT_EQ(parts[0], 2147483647);
  EXPECT_EQ(LScanSeparatedInts("-99999999999999999999", ':', parts, 1), 1);
  EXPECT_EQ(parts[0], -2147483647 - 1);
  EXPECT_EQ(LAtoi("  42abc"), 42);
  EXPECT_EQ(LAtoi("x42"), 0);
  EXPECT_EQ(LAtoi(""), 0);
}
