#pragma once
// When the casual-staff hours report goes to HR, and for which days. One
// schedule decides: the first whose switch is on, tried in this order, even
// when it sends nothing today:
//   "CasualHoursEmailToHREndOfMonth": on the 2nd, the whole previous month;
//   "CasualHoursEmailToHREndOfWeek": on Tuesdays, Monday to Sunday of last
//     week;
//   "CasualHoursEmailToHREndOfFortnight": every 14th day counted from
//     "CasualHoursEmailToHREndOfFortnightStartDate", from 17 to 2 days ago;
//   "CasualHoursEmailToHRDaysOfMonth": on the days listed in
//     "CasualHoursEmailToHRDaysOfMonthDays", from the day before the last
//     listed day to 2 days ago, so that consecutive reports cover each day
//     once.
// Days are counted as calendar days.

#include "foundation/date_time.h"

struct LKXCasualPeriod {
  bool due = false;
  LDateTime start;
  LDateTime end;
};

// The report due at `now` by the "Company" settings.
LKXCasualPeriod KXCasualHoursDue(LDateTime now);
