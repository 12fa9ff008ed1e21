#include "foundation/core_calendar.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "foundation/scan_numbers.h"

namespace {

std::string FormatYearMonth(LDateTime moment) {
  struct tm fields {};
  if (!moment.GetLocalTime(&fields)) return std::string();
  char text[32];
  std::snprintf(text, sizeof(text), "%.4d-%.2d", fields.tm_year + 1900, fields.tm_mon + 1);
  return text;
}

// Day `day` at 00:00:00 of the month named by "YYYY-MM"; unset on failure.
LDateTime DayOfYearMonth(std::string_view year_month, int day) {
  const int year = LAtoi(year_month.substr(0, 4));
  const int month = (year_month.size() > 5) ? LAtoi(year_month.substr(5, 2)) : 0;
  LDateTime moment;
  moment.SetDateTime(year, month, day, 0, 0, 0);
  return moment;
}

// `days` calendar days before `now` at the same local clock time; unset when
// that gives no moment.
LDateTime DaysBefore(LDateTime now, int days) {
  LDateTime moment = now;
  if (!moment.AddCalendarDays(-days)) return LDateTime();
  return moment;
}

}  // namespace

std::string LKXCoreCalendar::GetCurrentYearMonth() { return FormatYearMonth(LDateTime::Now()); }

std::string LKXCoreCalendar::GetNextYearMonth(std::string_view year_month) {
  const LDateTime day28 = DayOfYearMonth(year_month, 28);
  if (!day28.IsSet()) return std::string();
  // The 28th plus four days is always early in the next month, whatever the
  // month's length or a daylight-saving hour on the way.
  return FormatYearMonth(day28 + 4 * LDateTime::kOneDay);
}

std::string LKXCoreCalendar::GetPreviousYearMonth(std::string_view year_month) {
  const LDateTime first = DayOfYearMonth(year_month, 1);
  if (!first.IsSet()) return std::string();
  return FormatYearMonth(first - LDateTime::kOneDay);
}

void LKXCoreCalendar::GetLastWeek(LDateTime& start, LDateTime& end) {
  // Steps go by calendar day from now rather than by 86400 seconds: on the
  // Monday after a spring-forward Sunday, 00:30 minus 86400 s is Saturday
  // 23:30, and the Sunday would be skipped, giving the week before.
  const LDateTime now = LDateTime::Now();
  int days = 1;
  end = DaysBefore(now, days);
  while (end.IsSet() && !end.GetWeekDay().Contains(LWeekDay(LWeekDay::kSunday)) && days < 7) {
    end = DaysBefore(now, ++days);
  }
  start = end.IsSet() ? DaysBefore(now, days + 6) : LDateTime();
}

LDayTime LKXCoreCalendar::ChangeDayTimeToTimeZone(int from_minutes, int to_minutes, LDayTime day_time) {
  // Pure arithmetic on the clock: going through today's date would add or
  // lose an hour on the days the local zone changes to or from summer time.
  const std::int64_t shifted =
      static_cast<std::int64_t>(day_time.value) + (static_cast<std::int64_t>(to_minutes) - from_minutes) * 60;
  std::int64_t wrapped = shifted % LDateTime::kOneDay;
  if (wrapped < 0) wrapped += LDateTime::kOneDay;
  return LDayTime(static_cast<std::int32_t>(wrapped));
}
