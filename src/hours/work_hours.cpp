#include "hours/work_hours.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "foundation/csv_reader.h"
#include "hours/log_row.h"
#include "model/archive_paths.h"
#include "model/org_settings.h"
#include "model/user.h"
#include "model/users.h"

namespace {

// False when the start is no time of the day.
bool ReadRow(const std::string& line, LKXLogRowHead& out) {
  LKXReadLogRowHead(line, out);
  return out.start >= 0 && out.start < kKXSecondsPerDay;
}

int PeriodTypeOf(int flags, int work_type) { return (flags & 1) != 0 ? kKXPeriodPrivate : work_type; }

std::int32_t MinutesSetting(int minutes) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{minutes} * 60, INT32_MIN, INT32_MAX));
}

}  // namespace

void LKXReport::LoadActiveHours(LTimePeriodList& list, std::string_view email, LDateTime date) {
  // Reading must not make a folder for an address that has none.
  const std::string path = KXUserActivityLogPath(email, date);
  if (path.empty()) return;
  LCSVFileReader reader(path, kKXLogReadLockMs);
  LKXLogRowHead row;
  while (reader.Next()) {
    if (!ReadRow(reader.Line(), row)) continue;
    if (row.keys == 0 && row.clicks == 0) continue;
    // A negative length would otherwise be exchanged into time before the
    // row's start that nobody recorded.
    if (row.duration < 1 || row.duration >= kKXLongestActivityRow) continue;
    const std::int32_t end = std::min(row.start + row.duration, kKXSecondsPerDay);
    list.AddPeriod(row.start, end, PeriodTypeOf(row.flags, kKXPeriodActive));
  }
}

void LKXReport::LoadManualHours(LTimePeriodList& list, std::string_view email, LDateTime date) {
  const std::string path = KXUserManualLogPath(email, date);
  if (path.empty()) return;
  LCSVFileReader reader(path, kKXLogReadLockMs);
  LKXLogRowHead row;
  while (reader.Next()) {
    if (!ReadRow(reader.Line(), row) || row.duration < 1) continue;
    // Entries are split at midnight when logged; one that still runs past it
    // ends there instead of wrapping round onto the morning.
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{row.start} + row.duration, kKXSecondsPerDay);
    list.AddPeriodOverwrite(row.start, static_cast<std::int32_t>(end), PeriodTypeOf(row.flags, kKXPeriodManual));
  }
}

void LKXReport::AddToleranceTime(LTimePeriodList& list) {
  AddToleranceTime(list, MinutesSetting(KXOrgGetInt(LKXOrg::kToleranceTime)), MinutesSetting(KXOrgGetInt(LKXOrg::kMaxBreakMins)));
}

void LKXReport::AddToleranceTime(LTimePeriodList& list, std::int32_t tolerance, std::int32_t max_break) {
  // Every gap lies between two neighbours, so the day is rebuilt in one pass
  // instead of inserting each gap into the middle of the list.
  const std::vector<LTimePeriod>& old = list.Periods();
  std::vector<LTimePeriod> day;
  day.reserve(old.size() * 2);
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (i > 0) {
      const LTimePeriod& before = old[i - 1];
      const std::int32_t gap = old[i].start - before.end;
      if (gap > 0 && gap < tolerance) {
        day.push_back({before.end, old[i].start, before.type == kKXPeriodPrivate ? kKXPeriodPrivate : kKXPeriodIdle});
      } else if (gap > 0 && gap < max_break) {
        day.push_back({before.end, old[i].start, kKXPeriodBreak});
      }
    }
    day.push_back(old[i]);
  }
  list.AssignOrdered(std::move(day));
}

void LKXReport::SumPeriods(const LTimePeriodList& list, LKXUser& user, LWorkHoursData& data) {
  if (!list.IsEmpty()) {
    std::int64_t seconds[5] = {0, 0, 0, 0, 0};
    data.first_start = kKXSecondsPerDay;
    data.last_end = 0;
    for (const LTimePeriod& p : list) {
      if (p.type != kKXPeriodPrivate) {
        data.first_start = std::min(data.first_start, p.start);
        data.last_end = std::max(data.last_end, p.end);
      }
      if (p.type >= 0 && p.type < 5) seconds[p.type] += p.end - p.start;
    }
    data.active_mins = static_cast<std::int32_t>(seconds[kKXPeriodActive] / 60);
    data.manual_mins = static_cast<std::int32_t>(seconds[kKXPeriodManual] / 60);
    data.idle_mins = static_cast<std::int32_t>(seconds[kKXPeriodIdle] / 60);
    data.private_mins = static_cast<std::int32_t>(seconds[kKXPeriodPrivate] / 60);
    data.break_mins = static_cast<std::int32_t>(seconds[kKXPeriodBreak] / 60);
  }
  data.total_mins = data.active_mins + data.manual_mins + data.idle_mins;
  // Strict mode never counts breaks and reports them unreduced.
  if (user.GetFlag(kKXUserUseStrictHours)) return;
  const int lunch = user.GetNumber(kKXUserLunchDurationMins);
  if (user.GetFlag(kKXUserTakeLunchTime) && lunch > 0) data.break_mins = std::max(0, data.break_mins - lunch);
  data.total_mins += data.break_mins;
}

void LKXReport::CalculateDay(LTimePeriodList& list, LKXUser& user, LWorkHoursData& data) {
  AddToleranceTime(list);
  SumPeriods(list, user, data);
  list.JoinTimePeriods();
}

void LKXReport::LKXCalculateHours(LTimePeriodList& list, std::string_view email, LDateTime date,
                                  LWorkHoursData& data) {
  LoadActiveHours(list, email, date);
  LoadManualHours(list, email, date);
  LKXUser user;
  if (!KXGetUser(email, user)) return;
  CalculateDay(list, user, data);
}

void LKXReport::LKXCalculateHours(std::string_view email, LDateTime date, LWorkHoursData& data) {
  LTimePeriodList list;
  LKXCalculateHours(list, email, date, data);
}

void LKXReport::LKXCalculateHours(LTimePeriodList& list, LKXUser& user, std::string_view email, LDateTime date,
                                  LWorkHoursData& data) {
  list.Clear();
  LoadActiveHours(list, email, date);
  LoadManualHours(list, email, date);
  CalculateDay(list, user, data);
}

void LKXReport::LKXCalculateHours(std::string_view email, LDateTime from, LDateTime to, LWorkHoursData& data) {
  data.first_start = kKXSecondsPerDay;
  data.last_end = 0;
  if (from > to) return;
  // The record is looked up once for the whole span rather than every day.
  LKXUser user;
  if (!KXGetUser(email, user)) return;
  LTimePeriodList list;
  for (LDateTime day = from; day <= to;) {
    LWorkHoursData day_data;
    day_data.last_end = kKXSecondsPerDay;
    list.Clear();
    LoadActiveHours(list, email, day);
    LoadManualHours(list, email, day);
    CalculateDay(list, user, day_data);
    data.AddWorkedDay(day_data);
    // Calendar days, not 86400-second steps: across the autumn clock change
    // a step of 86400 seconds from midnight lands on the same date again.
    const LDateTime before = day;
    if (!day.AddCalendarDays(1) || day <= before) break;
  }
}
