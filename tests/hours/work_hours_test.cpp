#include "hours/work_hours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hours_fixture.h"
#include "model/org_settings.h"

namespace {

using Periods = std::vector<LTimePeriod>;
constexpr int H(int hour, int minute) { return hour * 3600 + minute * 60; }

// Writes the day of the worked example on 2010-01-04.
void WriteWorkedExample() {
  HoursTest::Activity("2010-01-04", "09:00:00", 600);
  HoursTest::Activity("2010-01-04", "09:15:00", 300);
  HoursTest::Activity("2010-01-04", "12:00:00", 600);
  HoursTest::Manual("2010-01-04", "13:00:00", 3600);
}

}  // namespace

TEST_F(HoursTest, WorkedExampleGivesItsFiguresInEveryVariant) {
  struct Case { bool strict; bool lunch; int lunch_mins; LWorkHoursData expected; };
  WriteWorkedExample();
  for (const Case& c : {Case{true, false, 0, {H(9, 0), H(14, 0), 25, 60, 5, 0, 210, 90}},
                        Case{false, true, 30, {H(9, 0), H(14, 0), 25, 60, 5, 0, 180, 270}},
                        Case{false, true, 500, {H(9, 0), H(14, 0), 25, 60, 5, 0, 0, 90}}}) {
    user_.SetFlag(kKXUserUseStrictHours, c.strict);
    user_.SetFlag(kKXUserTakeLunchTime, c.lunch);
    user_.SetNumber(kKXUserLunchDurationMins, c.lunch_mins);
    LTimePeriodList list;
    LWorkHoursData data;
    LKXReport::LKXCalculateHours(list, kUser, KavrixAt("2010-01-04", "15:00:00"), data);
    EXPECT_EQ(data, c.expected) << c.strict << c.lunch << c.lunch_mins;
  }
}

TEST_F(HoursTest, DaysFollowTheRulesOfGapsRowsAndManualEntries) {
  struct Row { bool manual; const char* time; int duration; int flags; int keys; };
  struct Case { const char* what; std::vector<Row> rows; LWorkHoursData expected; };
  const std::vector<Case> cases = {
      {"gap of the tolerance is a break", {{false, "09:00:00", 60, 0, 1}, {false, "09:09:00", 60, 0, 1}},
       {H(9, 0), H(9, 10), 2, 0, 0, 0, 8, 10}},
      {"gap just short of the tolerance is idle", {{false, "09:00:00", 60, 0, 1}, {false, "09:08:59", 61, 0, 1}},
       {H(9, 0), H(9, 10), 2, 0, 7, 0, 0, 9}},
      {"no keys, no clicks, or an hour long add nothing",
       {{false, "08:00:00", 600, 0, 0}, {false, "09:00:00", 3600, 0, 9}, {false, "11:00:00", 3599, 0, 9}},
       {H(11, 0), H(11, 59) + 59, 59, 0, 0, 0, 0, 59}},
      {"manual entry splits an active period",
       {{false, "09:00:00", 1800, 0, 1}, {true, "09:10:00", 600, 0, 0}}, {H(9, 0), H(9, 30), 20, 10, 0, 0, 0, 30}},
      {"short gap after private is private",
       {{false, "09:00:00", 600, 1, 1}, {false, "09:15:00", 300, 0, 1}}, {H(9, 15), H(9, 20), 5, 0, 0, 15, 0, 5}},
      {"a long gap after private is still a break",
       {{false, "09:00:00", 600, 1, 1}, {true, "10:00:00", 600, 1, 0}}, {H(9, 10), H(10, 0), 0, 0, 0, 20, 50, 50}},
  };
  for (const Case& c : cases) {
    const std::string date = "2010-01-" + std::to_string(5 + static_cast<int>(&c - cases.data()));
    for (const Row& r : c.rows) {
      r.manual ? Manual(date.c_str(), r.time, r.duration, r.flags)
               : Activity(date.c_str(), r.time, r.duration, r.flags, r.keys);
    }
    LWorkHoursData data;
    LKXReport::LKXCalculateHours(kUser, KavrixAt(date.c_str()), data);
    EXPECT_EQ(data, c.expected) << c.what;
  }
}

TEST_F(HoursTest, MalformedRowsAreSkipped) {
  struct Case { const char* what; std::string activity; std::string manual; Periods expected; };
  const std::vector<Case> cases = {
      {"missing columns", "09:00:00,600\r\n09:00:00\r\n,,,,\r\n", "", {}},
      {"negative and huge durations", "09:00:00,-600,0,5,0\r\n10:00:00,99999999999,0,5,0\r\n", "", {}},
      {"times past midnight", "25:00:00,600,0,5,0\r\n24:00:00,60,0,1,1\r\n23:59:00,600,0,5,0\r\n", "",
       {{H(23, 59), 86400, kKXPeriodActive}}},
      {"manual past midnight ends there", "", "23:00:00,7200,0,\"c\"\r\n", {{H(23, 0), 86400, kKXPeriodManual}}},
  };
  for (const Case& c : cases) {
    const std::string date = "2010-02-" + std::to_string(10 + static_cast<int>(&c - cases.data()));
    RawLog(date.c_str(), c.activity);
    RawLog(date.c_str(), c.manual, true);
    LTimePeriodList list;
    LKXReport::LoadActiveHours(list, kUser, KavrixAt(date.c_str()));
    LKXReport::LoadManualHours(list, kUser, KavrixAt(date.c_str()));
    EXPECT_EQ(list.Periods(), c.expected) << c.what;
  }
}

TEST_F(HoursTest, ToleranceAndMaximumBreakComeFromTheSettings) {
  KXOrgSetInt(LKXOrg::kToleranceTime, 5);
  KXOrgSetInt(LKXOrg::kMaxBreakMins, 30);
  LTimePeriodList list;
  list.AddPeriod(0, 60, kKXPeriodActive);
  list.AddPeriod(360, 400, kKXPeriodActive);    // 5 minutes: a break
  list.AddPeriod(600, 700, kKXPeriodPrivate);   // 200 s: idle
  list.AddPeriod(800, 900, kKXPeriodActive);    // after private: private
  list.AddPeriod(2700, 2800, kKXPeriodActive);  // 30 minutes: empty
  LKXReport::AddToleranceTime(list);
  EXPECT_EQ(list.Periods(), (Periods{{0, 60, 0}, {60, 360, 4}, {360, 400, 0}, {400, 600, 2}, {600, 700, 3},
                                     {700, 800, 3}, {800, 900, 0}, {2700, 2800, 0}}));
}

TEST_F(HoursTest, SpanSumsOnlyDaysWithWorkedTimeEachDayOnce) {
  WriteWorkedExample();
  Activity("2010-01-05", "09:00:00", 600, 1);  // private only: its minutes are not added
  Activity("2010-01-06", "07:30:00", 600);
  Activity("2010-01-08", "07:00:00", 600);  // after the span
  LWorkHoursData data;
  LKXReport::LKXCalculateHours(kUser, KavrixAt("2010-01-04"), KavrixAt("2010-01-07"), data);
  EXPECT_EQ(data, (LWorkHoursData{H(7, 30), H(14, 0), 35, 60, 5, 0, 210, 310}));
  LWorkHoursData backwards;
  LKXReport::LKXCalculateHours(kUser, KavrixAt("2010-01-07"), KavrixAt("2010-01-04"), backwards);
  EXPECT_EQ(backwards, (LWorkHoursData{86400, 0, 0, 0, 0, 0, 0, 0}));
  KavrixScopedTimeZone berlin("Europe/Berlin");  // 2009-10-25 has 25 hours: each day counts once
  Activity("2009-10-24", "10:00:00", 600);
  Activity("2009-10-25", "10:00:00", 1200);
  Activity("2009-10-26", "10:00:00", 2400);
  LWorkHoursData autumn;
  LKXReport::LKXCalculateHours(kUser, KavrixAt("2009-10-24"), KavrixAt("2009-10-26"), autumn);
  EXPECT_EQ(autumn.active_mins, 70);
}
