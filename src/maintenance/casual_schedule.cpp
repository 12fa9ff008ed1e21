#include "maintenance/casual_schedule.h"

#include <ctime>
#include <set>
#include <string>

#include "foundation/comma_list.h"
#include "foundation/scan_numbers.h"
#include "maintenance/calendar_days.h"
#include "model/org_settings.h"

namespace {

constexpr int kFortnightDays = 14;
constexpr int kFortnightBack = 17;
constexpr int kReportLagDays = 2;
constexpr int kMonthlyReportDay = 2;
constexpr int kLastWeekMondayBack = 8;
// A walk back for the previous listed day never goes further than a month.
constexpr int kLongestMonth = 31;

LKXCasualPeriod Period(LDateTime start, LDateTime end) {
  LKXCasualPeriod period;
  period.start = start;
  period.end = end;
  period.due = start.IsSet() && end.IsSet();
  return period;
}

LKXCasualPeriod EndOfMonth(LDateTime now) {
  struct tm fields {};
  if (!now.GetLocalTime(&fields) || fields.tm_mday != kMonthlyReportDay) return {};
  LDateTime first;
  if (!first.SetDateTime(fields.tm_year + 1900, fields.tm_mon, 1, fields.tm_hour, fields.tm_min, fields.tm_sec)) {
    return {};
  }
  return Period(first, KXDaysFrom(now, -kReportLagDays));
}

LKXCasualPeriod EndOfWeek(LDateTime now) {
  if (now.GetWeekDay() != LWeekDay(LWeekDay::kTuesday)) return {};
  return Period(KXDaysFrom(now, -kLastWeekMondayBack), KXDaysFrom(now, -kReportLagDays));
}

LKXCasualPeriod EndOfFortnight(LDateTime now) {
  long first = 0;
  long today = 0;
  if (!KXDateTextDayNumber(KXOrgGetText(LKXOrg::kCasualHoursEmailToHREndOfFortnightStartDate), first) ||
      !KXLocalDayNumber(now, today) || today < first || (today - first) % kFortnightDays != 0) {
    return {};
  }
  const LDateTime midnight = KXStartOfDay(now);
  return Period(KXDaysFrom(midnight, -kFortnightBack), KXDaysFrom(midnight, -kReportLagDays));
}

LKXCasualPeriod DaysOfMonth(LDateTime now, const std::string& list) {
  std::set<int> days;
  LCommaSeparatedListIteratorTemplate<char> items(list);
  while (items.Next()) days.insert(LAtoi(items.Item()));
  const int today = KXDayOfMonth(now);
  if (days.count(today) == 0) return {};
  LDateTime found;
  for (int back = 1; back <= kLongestMonth; ++back) {
    found = KXDaysFrom(now, -back);
    const int day = KXDayOfMonth(found);
    if (days.count(day) != 0 || day == today) break;
  }
  return Period(KXDaysFrom(found, -1), KXDaysFrom(now, -kReportLagDays));
}

}  // namespace

LKXCasualPeriod KXCasualHoursDue(LDateTime now) {
  if (KXOrgGetBool(LKXOrg::kCasualHoursEmailToHREndOfMonth)) return EndOfMonth(now);
  if (KXOrgGetBool(LKXOrg::kCasualHoursEmailToHREndOfWeek)) return EndOfWeek(now);
  if (KXOrgGetBool(LKXOrg::kCasualHoursEmailToHREndOfFortnight)) return EndOfFortnight(now);
  const std::string list = KXOrgGetText(LKXOrg::kCasualHoursEmailToHRDaysOfMonthDays);
  if (KXOrgGetBool(LKXOrg::kCasualHoursEmailToHRDaysOfMonth) && !list.empty()) return DaysOfMonth(now, list);
  return {};
}
