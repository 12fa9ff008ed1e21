#include "hours/required_minutes.h"

#include <gtest/gtest.h>

#include <vector>

#include "hours_fixture.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"

// 2010-01-04 is a Monday; the week runs to Sunday 2010-01-10.
TEST_F(HoursTest, RequiredMinutesFollowWorkDaysLeaveAndHolidays) {
  ASSERT_TRUE(KXAddPublicHoliday("2010-01-20", "2010-01-20", "Wednesday off"));
  ASSERT_TRUE(LKXCoreData::LogLeaveEntry(kUser, KavrixAt("2010-01-26"), KavrixAt("2010-01-26"), "holiday", "", ""));
  // default_hours 0: not stored.
  struct Case { const char* what; int work_hours, default_hours, work_days; const char *from, *to; int expected; };
  const std::vector<Case> cases = {
      {"full week of five days", 0, 38, 62, "2010-01-04", "2010-01-10", 2280},
      {"week with a public holiday", 0, 38, 62, "2010-01-18", "2010-01-24", 1824},
      {"full week capped at the weekly minutes", 40, 0, 127, "2010-01-04", "2010-01-10", 2400},
      {"week with a day of leave", 40, 0, 127, "2010-01-25", "2010-01-31", 2058},
      {"flexible days; a missing default is forty hours", 0, 0, 0, "2010-01-04", "2010-01-04", 2400},
      {"weekend only", 20, 0, 65, "2010-01-04", "2010-01-08", 0},
  };
  for (const Case& c : cases) {
    user_.SetNumber(kKXUserWorkHours, c.work_hours);
    user_.SetNumber(kKXUserWorkDays, c.work_days);
    c.default_hours == 0 ? KXOrgClear(LKXOrg::kDefaultWorkHours) : KXOrgSetInt(LKXOrg::kDefaultWorkHours, c.default_hours);
    EXPECT_EQ(LKXRequiredWorkMinutes(user_, KavrixAt(c.from, "17:45:00"), KavrixAt(c.to, "06:15:00")), c.expected)
        << c.what;
  }
}

TEST_F(HoursTest, RequiredMinutesCountTheShortSpringDayOnce) {
  KavrixScopedTimeZone berlin("Europe/Berlin");  // 2010-03-28 has 23 hours
  user_.SetNumber(kKXUserWorkHours, 40);
  user_.SetNumber(kKXUserWorkDays, 127);
  EXPECT_EQ(LKXRequiredWorkMinutes(user_, KavrixAt("2010-03-27"), KavrixAt("2010-03-29")), 3 * 343);
}
