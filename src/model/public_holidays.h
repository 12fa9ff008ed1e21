#pragma once
// Public holidays: records of the list "PublicHolidayList" holding
// "StartDate" and "EndDate" ("YYYY-MM-DD", both days included) and
// "Comment". A holiday covers its first day from 00:00:00 to its last day
// at 23:59:59; no two holidays share a day.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"

struct LKXPublicHoliday {
  std::string start;  // "YYYY-MM-DD"
  std::string end;
  std::string comment;
};

// Adds the holiday from the local date of `start` to that of `end`. False
// when either is unset, the end comes before the start, or the dates share
// a day with an existing holiday (ranges compared by their dates at
// 00:00:00: an existing [s, e] meets a new [S, E] when S <= e and s <= E).
bool KXAddPublicHoliday(LDateTime start, LDateTime end, std::string_view comment);
// The same from date texts, which must be non-empty and pass
// LDateTime::ValidateDateYYYYHMMHDD. The dates are stored as the calendar
// gives them ("2009-02-30" is the 2nd of March).
bool KXAddPublicHoliday(std::string_view start, std::string_view end, std::string_view comment);

// Whether `moment` falls on a holiday.
bool KXIsPublicHoliday(LDateTime moment);
// The same for the start of a day given as text; false for text that is
// empty or no valid date.
bool KXIsPublicHoliday(std::string_view date);

// Deletes the holiday whose stored "StartDate" and "EndDate" equal the two
// texts; false when none does.
bool KXDeletePublicHoliday(std::string_view start, std::string_view end);

int KXPublicHolidayCount();
// Every holiday in list order.
std::vector<LKXPublicHoliday> KXGetPublicHolidays();
