#pragma once
// "api/v1/hours?user=&from=&to=": minutes per day (worked, required, breaks,
// manual, private).

#include <string>
#include <vector>

#include "foundation/date_time.h"

class LWebletForm;

void WLApiHours(LWebletForm& form);

// The body, apart from the request so that the benchmarks time it. `from`
// and `to` are the first and last day at 00:00:00.
std::string KXApiHoursJson(const std::vector<std::string>& emails, LDateTime from, LDateTime to);

// The longest range, as the hours pages allow: the last day at most 365 days
// after the first.
inline constexpr int kKXApiMaxRangeDays = 366;
