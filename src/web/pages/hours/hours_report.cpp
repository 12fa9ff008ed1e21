#include "web/pages/hours/hours_report.h"

#include <algorithm>

#include "foundation/ascii_text.h"
#include "hours/required_minutes.h"
#include "hours/work_hours.h"
#include "model/users.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"

namespace {

std::vector<std::string> Addresses(std::string_view list) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos <= list.size()) {
    std::size_t comma = list.find(',', pos);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string_view item = LTrimBlanks(list.substr(pos, comma - pos));
    if (!item.empty()) out.emplace_back(item);
    pos = comma + 1;
  }
  return out;
}

LKXHoursAmounts AmountsOf(const LWorkHoursData& data) {
  return {data.break_mins, data.active_mins, data.idle_mins, data.manual_mins, data.total_mins, 0};
}

// The required minutes of the range, week by week as the weekly warnings
// count them: each call spans at most one Monday-to-Sunday week.
long long RequiredOverRange(LKXUser& user, const LKXHoursRange& range) {
  long long sum = 0;
  LDateTime from = range.start;
  for (LDateTime day = range.start; day <= range.end;) {
    const LDateTime before = day;
    const bool moved = day.AddCalendarDays(1) && before < day;
    if (!moved || range.end < day || before.GetWeekDay().Contains(LWeekDay(LWeekDay::kSunday))) {
      sum += LKXRequiredWorkMinutes(user, from, before);
      from = day;
    }
    if (!moved) break;
  }
  return sum;
}

// One user's worked days, mean and total; the user's sums go to `sums`.
// True when the user owes time.
bool AddEmployee(LKXUser& user, const std::string& email, const LKXHoursRange& range, bool showDays,
                 LKXHoursReport& report, LKXHoursAmounts& sums) {
  LKXHoursReportRow total;
  total.kind = LKXHoursReportRow::kUserTotal;
  total.name = user.GetName();
  total.email = email;
  total.owesTime = !user.IsCasual();
  const bool owesByDay = total.owesTime && !user.GetWorkDays().IsEmpty();
  long long firstSum = 0, lastSum = 0;
  LTimePeriodList list;
  for (LDateTime day = range.start; day <= range.end;) {
    LWorkHoursData data;
    data.last_end = kKXSecondsPerDay;
    LKXReport::LKXCalculateHours(list, user, email, day, data);
    if (data.total_mins > 0) {
      if (showDays) {
        LKXHoursReportRow row;
        row.name = total.name;
        row.email = email;
        row.date = day.GetDateText();
        row.firstStart = data.first_start;
        row.lastEnd = data.last_end;
        row.amounts = AmountsOf(data);
        row.owesTime = owesByDay;
        if (owesByDay) row.amounts.required = LKXRequiredWorkMinutes(user, day, day);
        report.rows.push_back(std::move(row));
      }
      firstSum += data.first_start;
      lastSum += data.last_end;
      total.amounts.Add(AmountsOf(data));
      ++total.count;
    }
    // Calendar days: across a clock change a day is not 86400 seconds.
    const LDateTime before = day;
    if (!day.AddCalendarDays(1) || day <= before) break;
  }
  if (total.owesTime) total.amounts.required = RequiredOverRange(user, range);
  if (total.count >= 2) {
    LKXHoursReportRow mean = total;
    mean.kind = LKXHoursReportRow::kUserMean;
    mean.firstStart = firstSum / total.count;
    mean.lastEnd = lastSum / total.count;
    mean.amounts = total.amounts.DividedBy(total.count);
    // The range's required time is not owed per worked day.
    mean.owesTime = false;
    mean.amounts.required = 0;
    report.rows.push_back(std::move(mean));
  }
  const bool owes = total.owesTime;
  sums.Add(total.amounts);
  report.rows.push_back(std::move(total));
  return owes;
}

}  // namespace

void LKXHoursAmounts::Add(const LKXHoursAmounts& other) {
  breaks += other.breaks;
  active += other.active;
  idle += other.idle;
  manual += other.manual;
  total += other.total;
  required += other.required;
}

LKXHoursAmounts LKXHoursAmounts::DividedBy(long long count) const {
  if (count <= 0) return *this;
  return {breaks / count, active / count, idle / count, manual / count, total / count, required / count};
}

LKXHoursRange KXReadHoursRange(std::string_view startDate, std::string_view endDate) {
  LKXHoursRange range;
  if (startDate.empty()) return range;
  if (endDate.empty()) endDate = startDate;
  if (!KXReadReportDate(startDate, "00:00:00", range.start) || !KXReadReportDate(endDate, "23:59:59", range.end)) {
    range.message = kKXDateNotValid;
  } else if (range.end < range.start) {
    range.message = kKXStartAfterEnd;
  } else if (static_cast<long long>(range.end.value) - range.start.value >= kKXMaxHoursRangeSeconds) {
    range.message = kKXRangeOverAYear;
  } else {
    range.searchable = true;
  }
  return range;
}

bool KXHoursShowDays(std::string_view selusers, const LKXHoursRange& range) {
  if (selusers.find(',') == std::string_view::npos) return true;
  return range.start.GetDateText() == range.end.GetDateText();
}

LKXHoursReport KXBuildHoursReport(LKXUser& viewer, std::string_view selusers, const LKXHoursRange& range) {
  LKXHoursReport report;
  if (!range.searchable) return report;
  const bool showDays = KXHoursShowDays(selusers, range);
  LKXHoursAmounts sums;
  bool anyOwes = false;
  for (const std::string& email : Addresses(selusers)) {
    if (!KXViewerMaySee(viewer, email)) {
      report.refused.push_back(email);
      continue;
    }
    ++report.users;
    LKXUser user;
    if (!KXGetUser(email, user)) continue;
    anyOwes = AddEmployee(user, user.GetEmail(), range, showDays, report, sums) || anyOwes;
  }
  if (report.users >= 2) {
    LKXHoursReportRow mean;
    mean.kind = LKXHoursReportRow::kReportMean;
    mean.count = report.users;
    mean.amounts = sums.DividedBy(report.users);
    mean.owesTime = anyOwes;
    report.rows.push_back(mean);
    LKXHoursReportRow total;
    total.kind = LKXHoursReportRow::kReportTotal;
    total.count = report.users;
    total.amounts = sums;
    total.owesTime = anyOwes;
    report.rows.push_back(total);
  }
  return report;
}
