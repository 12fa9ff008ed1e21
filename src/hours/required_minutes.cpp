#include "hours/required_minutes.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/user.h"

std::int32_t LKXWeeklyWorkMinutes(LKXUser& user) {
  int hours = user.GetNumber(kKXUserWorkHours);
  if (hours == 0) hours = KXOrgGetInt(LKXOrg::kDefaultWorkHours);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{hours} * 60, INT32_MIN, INT32_MAX));
}

std::int32_t LKXRequiredWorkMinutes(LKXUser& user, LDateTime from, LDateTime to) {
  const std::int32_t weekly = LKXWeeklyWorkMinutes(user);
  const LWeekDay days = user.GetWorkDays();
  if (days.IsEmpty()) return weekly;
  const int count = std::popcount(static_cast<unsigned>(days.value & LWeekDay::kAllDays));
  const std::int64_t daily = (std::int64_t{weekly} + count - 1) / count;

  LDateTime day = from;
  LDateTime stop = to;
  if (!day.SetDayTime(LDayTime(0)) || !stop.SetDayTime(LDayTime(0)) || !stop.AddCalendarDays(1)) return 0;
  std::int64_t sum = 0;
  // Calendar days, so that a day of 23 or 25 hours is still one day.
  while (day < stop) {
    if (days.Contains(day.GetWeekDay()) && !user.HasLeaveFormOnDate(day) && !KXIsPublicHoliday(day)) sum += daily;
    const LDateTime before = day;
    if (!day.AddCalendarDays(1) || day <= before) break;
  }
  return static_cast<std::int32_t>(std::min<std::int64_t>(weekly, sum));
}
