#pragma once
// The minutes a permanent user is expected to work in a span of at most one
// week, as the hours pages and the weekly mails count them; the callers
// decide to whom it applies.

#include <cstdint>

#include "foundation/date_time.h"

class LKXUser;

// Weekly minutes: "WorkHours" x 60, or "DefaultWorkHours" x 60 when that is
// 0. With flexible days ("WorkDays" 0) the weekly minutes. Otherwise each
// day from the start of `from`'s day to the end of `to`'s day that is one of
// the work days, has no leave form and is no public holiday adds the weekly
// minutes divided among the work days (rounded up), and the sum is capped at
// the weekly minutes.
std::int32_t LKXRequiredWorkMinutes(LKXUser& user, LDateTime from, LDateTime to);
// The weekly minutes alone.
std::int32_t LKXWeeklyWorkMinutes(LKXUser& user);
