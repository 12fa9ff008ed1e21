#include "foundation/date_time.h"

#include "foundation/scan_numbers.h"
#include "foundation/test_hooks.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

// "YYYY-MM-DD HH:MM:SS" of a value, for compact expectations.
static std::string Text(LDateTime moment) {
  std::string date = "x", time = "y";
  moment.GetDateTime(date, time);
  return date + " " + time;
}

class DateTimeTest : public ::testing::Test {
 protected:
  void TearDown() override { LFoundationResetForTests(); }
  KavrixScopedTimeZone zone_{"UTC"};
};

TEST_F(DateTimeTest, TextFormsAndTheUnsetValue) {
  const LDateTime moment(1243859696);
  EXPECT_EQ(Text(moment) + " " + moment.GetTimeHHHMMHSS(), "2009-06-01 12:34:56 12-34-56");
  EXPECT_EQ(Text(LDateTime()) + LDateTime().GetTimeHHHMMHSS(), " ");
  EXPECT_TRUE(LDateTime().GetDayTime().value == 0 && LDateTime().GetWeekDay().IsEmpty());
}

// Missing fields default, the year rule applies, fields roll over as in
// mktime, and what cannot be a 32-bit moment keeps the old value (null).
TEST_F(DateTimeTest, SetDateTimeFromTextAndNumbers) {
  const char* cases[][3] = {
      {"2009", "", "2009-01-01 00:00:00"}, {" 2009-06-05", " 08: 30", "2009-06-05 08:30:00"},
      {"2009-02-30", "00:00:00", "2009-03-02 00:00:00"}, {"9-06-01", "", "2009-06-01 00:00:00"},
      {"70-01-02", "", "1970-01-02 00:00:00"}, {"138-01-01", "", "2038-01-01 00:00:00"},
      {"2038-01-19", "03:14:07", "2038-01-19 03:14:07"}, {"abc", "12:00:00", nullptr},
      {"69-06-01", "", nullptr}, {"2038-01-19", "03:14:08", nullptr},
  };
  for (auto [date, time, expected] : cases) {
    LDateTime moment(1243859696);
    EXPECT_EQ(moment.SetDateTime(date, time), expected != nullptr) << date << " " << time;
    EXPECT_EQ(Text(moment), expected ? expected : "2009-06-01 12:34:56") << date << " " << time;
  }
  LDateTime moment(1243859696);
  EXPECT_TRUE(moment.SetDateTime(2009, 13, 1, 0, 0, 0) && Text(moment) == "2010-01-01 00:00:00");
  EXPECT_FALSE(moment.SetDateTime(2009, 2147483647, 1, 0, 0, 0) ||
               moment.SetDateTime(2009, -2147483647 - 1, 1, 0, 0, 0));
  EXPECT_EQ(Text(moment), "2010-01-01 00:00:00");
}

TEST_F(DateTimeTest, ValidateDateAndClockTime) {
  const std::pair<const char*, bool> dates[] = {
      {"", true}, {"1970-01-01", true}, {"2038-12-31", true}, {"2009-02-30", true}, {"2009-6-1", true},
      {"1969-12-31", false}, {"2039-01-01", false}, {"2009-13-01", false}, {"2009-06-32", false}, {"2009-06", false},
      {"2009/06/01", false}, {"09-06-01", false}};
  for (auto [text, valid] : dates) EXPECT_EQ(LDateTime::ValidateDateYYYYHMMHDD(text), valid) << text;
  const std::pair<const char*, bool> times[] = {
      {"23:59", true}, {"23:59:59", true}, {"0:0", true}, {"24:00:00", false}, {"12:60", false},
      {"12:00:60", false}, {"08", false}, {"-1:00", false}, {"99999999999:00", false}};
  for (auto [text, valid] : times) EXPECT_EQ(LDayTime::ValidateDateHHCMMCSS(text), valid) << text;
}

TEST_F(DateTimeTest, DayTimeTextHasNoRangeCheckAndNumbersDoNotOverflow) {
  LDayTime day_time;
  day_time.SetText("25:61:61");
  EXPECT_EQ(day_time.value, 25 * 3600 + 61 * 60 + 61);
  day_time.SetText("99999999999:00:00");  // clamped, then wraps: no overflow trap
  EXPECT_EQ(LDayTime(90000).GetText(), "25:00:00");
  int parts[3] = {-7, -7, -7};
  EXPECT_EQ(LScanSeparatedInts("99999999999999999999:-5:x", ':', parts, 3), 2);
  EXPECT_EQ(std::vector<int>(parts, parts + 3), (std::vector<int>{2147483647, -5, -7}));
}

TEST_F(DateTimeTest, WeekDayAndSetDayTimeFollowTheLocalDate) {
  {
    KavrixScopedTimeZone sydney("Australia/Sydney");  // 2009-06-10 20:00:00 UTC is Thursday 06:00 there
    EXPECT_EQ(LDateTime(1244664000).GetWeekDay().value, LWeekDay::kThursday);
  }
  LDateTime set = KavrixAt("2009-06-01", "12:34:56"), unset;
  LDateTime::SetFakeNow(1244635200);  // 2009-06-10 12:00:00: today for an unset value
  ASSERT_TRUE(set.SetDayTime(LDayTime::FromHMS(23, 59, 59)) && unset.SetDayTime(LDayTime::FromHMS(8, 0, 0)));
  EXPECT_EQ(Text(set) + " " + Text(unset), "2009-06-01 23:59:59 2009-06-10 08:00:00");
}

// A clock time that never happened moves forward with the clocks.
TEST_F(DateTimeTest, LocalTimesAcrossTheSpringGap) {
  KavrixScopedTimeZone london("Europe/London");
  EXPECT_EQ(KavrixAt("2009-03-29", "00:59:59").value, 1238288399);
  EXPECT_EQ(Text(KavrixAt("2009-03-29", "01:30:00")), "2009-03-29 02:30:00");
}

// New York moved its clocks from 02:00 to 03:00 on 2009-03-08 and back on
// 2009-11-01: an 86400-second step drifts by that hour, which SetDayTime
// mends on the same date; calendar steps keep the clock time.
TEST_F(DateTimeTest, DayStepsAcrossDaylightSaving) {
  KavrixScopedTimeZone local("America/New_York");
  LDateTime moment = KavrixAt("2009-03-07", "12:00:00");
  moment += LDateTime::kOneDay;
  EXPECT_EQ(moment.GetDayTime().GetText(), "13:00:00");
  ASSERT_TRUE(moment.SetDayTime(LDayTime::FromHMS(12, 0, 0)));
  EXPECT_EQ(Text(moment), "2009-03-08 12:00:00");
  ASSERT_TRUE(moment.AddCalendarDays(-129));
  EXPECT_EQ(Text(moment), "2008-10-30 12:00:00");
  EXPECT_FALSE(LDateTime().AddCalendarDays(1));
}
