#pragma once
// The time sheet's picture of the day: one bar from 00:00 to 24:00 with each
// period of the day's joined list drawn in the colour of its type, hour marks
// below it and a legend. Inline SVG, so it needs no script and no image
// request, and prints as it shows.

#include <string>

#include "hours/time_period_list.h"

std::string KXDayTimelineSvg(const LTimePeriodList& periods);

// The name a period type is shown under ("active", "idle", ...).
const char* KXPeriodTypeName(int type);
