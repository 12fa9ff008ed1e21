#include "maintenance/calendar_days.h"

#include <ctime>

#include "model/leave_log.h"

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long year_of_era = year - era * 400;
  const long day_of_year = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

bool KXLocalDayNumber(LDateTime moment, long& out) {
  struct tm fields {};
  if (!moment.GetLocalTime(&fields)) return false;
  out = DaysFromCivil(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
  return true;
}

bool KXDateTextDayNumber(std::string_view date, long& out) {
  if (!KXIsDateText(date)) return false;
  out = DaysFromCivil(Digits(date.substr(0, 4)), Digits(date.substr(5, 2)), Digits(date.substr(8, 2)));
  return true;
}

LDateTime KXDaysFrom(LDateTime moment, int days) {
  if (!moment.AddCalendarDays(days)) return LDateTime();
  return moment;
}

int KXDayOfMonth(LDateTime moment) {
  struct tm fields {};
  return moment.GetLocalTime(&fields) ? fields.tm_mday : 0;
}

LDateTime KXStartOfDay(LDateTime moment) {
  if (!moment.IsSet() || !moment.SetDayTime(LDayTime(0))) return LDateTime();
  return moment;
}
