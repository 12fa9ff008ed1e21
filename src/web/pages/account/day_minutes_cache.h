#pragma once
// A day's worked minutes of one user, kept between requests while nothing
// they depend on changes: the day's activity and manual logs (size and
// modification time) and the rules of the calculation (tolerance, longest
// break, the user's strict hours and lunch allowance). The main page's panel
// and its 15-second refresh read every staff member's week; without this
// each refresh would parse every log again.

#include <cstdint>
#include <string_view>

#include "foundation/date_time.h"
#include "hours/time_period_list.h"
#include "model/user.h"

// The day's total minutes, as LKXReport::LKXCalculateHours computes them;
// `list` is scratch space for a calculation.
std::int32_t KXCachedDayMinutes(LTimePeriodList& list, LKXUser& user, std::string_view email, LDateTime day);
