#pragma once
// Whole local calendar days for the maintenance jobs. Ages of folders and
// the days a schedule falls on are counted in calendar days, not in 86400
// second steps, so that a day of 23 or 25 hours neither drops nor repeats a
// day around a daylight-saving change.

#include <string_view>

#include "foundation/date_time.h"

// Days since 1970-01-01 of the local date of `moment`; false when unset.
bool KXLocalDayNumber(LDateTime moment, long& out);
// The same for a date written exactly "YYYY-MM-DD" (a real day).
bool KXDateTextDayNumber(std::string_view date, long& out);
// `moment` moved by `days` calendar days at the same local clock time; unset
// when that gives no moment.
LDateTime KXDaysFrom(LDateTime moment, int days);
// The local day of the month of `moment` (0 when unset).
int KXDayOfMonth(LDateTime moment);
// The day of `moment` at 00:00:00; unset when that gives no moment.
LDateTime KXStartOfDay(LDateTime moment);
