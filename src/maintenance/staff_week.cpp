#include "maintenance/staff_week.h"

#include <sys/stat.h>

#include <algorithm>

#include "foundation/log.h"
#include "hours/required_minutes.h"
#include "maintenance/calendar_days.h"
#include "model/archive_paths.h"
#include "model/public_holidays.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"

namespace {

// A day's activity log that exists but is no file cannot be read; it counts
// as no usage, and the office should hear of it.
void CheckReadable(const std::string& email, LDateTime first, LDateTime last) {
  for (LDateTime day = KXStartOfDay(first); day.IsSet() && day <= last;) {
    const std::string path = KXUserActivityLogPath(email, day);
    struct stat info {};
    if (!path.empty() && stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      LOGERROR("Unreadable activity log " + path + "; counted as empty");
    }
    const LDateTime before = day;
    day = KXDaysFrom(day, 1);
    if (day <= before) break;
  }
}

}  // namespace

std::vector<LKXStaffMember> KXReadStaff() {
  std::vector<LKXStaffMember> staff;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    user.HoldReading();
    LKXStaffMember member;
    member.record = it.GetID();
    member.path = user.GetPath();
    member.email = user.GetEmail();
    if (member.email.empty()) {
      LOGERRORF("User record %d has no e-mail address; skipped", it.GetID());
      continue;
    }
    member.name = user.GetName();
    member.managers = user.GetText(kKXUserManager);
    member.is_hr = user.IsAccountant();
    member.is_casual = user.IsCasual();
    member.work_days = user.GetWorkDays();
    staff.push_back(std::move(member));
  }
  return staff;
}

bool KXIsManagerOf(const LKXStaffMember& manager, const LKXStaffMember& member) {
  return KXCommaListContains(member.managers, manager.email);
}

std::vector<LKXAppUsage> KXSortedUsage(const LKXAppUsageList& list) {
  std::vector<LKXAppUsage> sorted(list.Entries().begin(), list.Entries().end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const LKXAppUsage& a, const LKXAppUsage& b) { return a.seconds > b.seconds; });
  return sorted;
}

const LWorkHoursData& LKXStaffWeek::Hours(const LKXStaffMember& member) {
  auto found = hours_.find(member.record);
  if (found != hours_.end()) return found->second;
  CheckReadable(member.email, start_, end_);
  LWorkHoursData data;
  data.first_start = LDateTime::kOneDay;
  LKXUser user(member.path);
  LTimePeriodList list;
  for (LDateTime day = start_; day.IsSet() && day <= end_;) {
    LWorkHoursData day_data;
    day_data.last_end = LDateTime::kOneDay;
    LKXReport::LKXCalculateHours(list, user, member.email, day, day_data);
    data.AddWorkedDay(day_data);
    const LDateTime before = day;
    day = KXDaysFrom(day, 1);
    if (day <= before) break;
  }
  return hours_.emplace(member.record, data).first->second;
}

std::int32_t LKXStaffWeek::Required(const LKXStaffMember& member) {
  auto found = required_.find(member.record);
  if (found != required_.end()) return found->second;
  LKXUser user(member.path);
  const std::int32_t minutes = LKXRequiredWorkMinutes(user, start_, end_);
  return required_.emplace(member.record, minutes).first->second;
}

const LKXAppUsageList& LKXStaffWeek::Usage(const LKXStaffMember& member) {
  auto found = usage_.find(member.record);
  if (found != usage_.end()) return found->second;
  LKXAppUsageList& list = usage_[member.record];
  LKXAddAppUsage(list, member.email, start_, end_);
  return list;
}

std::vector<std::string> LKXStaffWeek::MissingDays(const LKXStaffMember& member) {
  std::vector<std::string> days;
  if (member.work_days.IsEmpty()) return days;
  LKXUser user(member.path);
  for (LDateTime day = start_; day.IsSet() && day <= end_;) {
    if (member.work_days.Contains(day.GetWeekDay()) && !KXIsPublicHoliday(day) && !user.HasWorkedOnDate(day) &&
        !user.HasLeaveFormOnDate(day)) {
      days.push_back(day.GetDateText());
    }
    const LDateTime before = day;
    day = KXDaysFrom(day, 1);
    if (day <= before) break;
  }
  return days;
}

int KXPercentShort(std::int32_t required, std::int32_t worked) {
  if (required <= 0 || worked >= required) return 0;
  return static_cast<int>((std::int64_t{required} - worked) * 100 / required);
}
