#pragma once
// Pieces of the manual hours list and the manual entry dialog that the other
// hours pages do not need: strict clock parsing of what a form posted and the
// notice for dates that are not dates. Who may see whose hours, the session
// copying and the report dates are in hours_viewer.h and report_dates.h.

#include <string_view>

#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"

// "HH:MM:SS" with the hour 0..24 (24 only as 24:00:00, the end of a day),
// minutes and seconds 0..59: the seconds since midnight.
[[nodiscard]] bool KXParseClock(std::string_view text, int& seconds);

inline constexpr char kKXBadDates[] =
    "<div><font color=#a00000>Please enter valid dates in the format YYYY-MM-DD.</font></div>";
