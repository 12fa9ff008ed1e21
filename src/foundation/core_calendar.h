#pragma once
// Calendar helpers of the staff data model: months as "YYYY-MM" texts for the
// month-by-month views, the last complete week, and shifting a time of day
// between two time zones. The model's core data class derives from this one.

#include <string>
#include <string_view>

#include "foundation/date_time.h"

class LKXCoreCalendar {
 public:
  // The local year and month of now, "YYYY-MM".
  static std::string GetCurrentYearMonth();
  // The month after / before `year_month` ("YYYY-MM": the year is read from
  // the first four characters, the month from the two after the separator).
  // Empty when the text gives no moment.
  static std::string GetNextYearMonth(std::string_view year_month);
  static std::string GetPreviousYearMonth(std::string_view year_month);
  // The last complete week before today, Monday to Sunday, both at the
  // current clock time; on a Sunday that is the week ending a week earlier.
  static void GetLastWeek(LDateTime& start, LDateTime& end);
  // The time of day `day_time` in a zone `from_minutes` east of UTC, as the
  // clock time in a zone `to_minutes` east of UTC, wrapped into 0..86399.
  static LDayTime ChangeDayTimeToTimeZone(int from_minutes, int to_minutes, LDayTime day_time);
};
