#pragma once
// Dates as the hours pages read them from the session: "YYYY-MM-DD" taken at
// a given clock time of the server's local time, and the texts the pages show
// for times and amounts.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/date_time.h"

// True when `text` is a calendar date "YYYY-MM-DD" within the years the
// system can hold (a 31st of a 30-day month is no date); `out` is then that
// date at `clock` ("HH:MM:SS").
bool KXReadReportDate(std::string_view text, std::string_view clock, LDateTime& out);

// Seconds of a day as "HH:MM:SS" (86400 is "24:00:00"), as LDayTime writes
// them but without the C library's formatter: a busy day's time sheet writes
// tens of thousands of them.
std::string KXClockText(std::int32_t seconds);

// Whole minutes as "HH:MM"; the hours grow past 99 for long sums.
std::string KXMinutesText(long long minutes);
// A difference of minutes as "+HH:MM" or "-HH:MM" ("00:00" when none).
std::string KXSignedMinutesText(long long minutes);
// Seconds of a day as "HH:MM" (the means of first and last activity).
std::string KXDaySecondsHHMM(long long seconds);

// Dark-red notice above a report's table.
inline constexpr char kKXStartAfterEnd[] =
    "<div><font color=#a00000>Start date can not be after end date!</font></div>";
inline constexpr char kKXRangeOverAYear[] =
    "<div><font color=#a00000>Date search range can not be longer a year!</font></div>";
inline constexpr char kKXDateNotValid[] =
    "<div><font color=#a00000>Please enter a valid date in the format YYYY-MM-DD.</font></div>";
