#pragma once
// What the weekly mails know of each user: a snapshot of the registry
// taken once per mail run (names, managers, roles, work rules), and the
// week's figures of one user read from his logs (hours, application usage,
// work days without work or leave), computed at most once per run however
// many managers a person has.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "hours/app_usage.h"
#include "hours/work_hours.h"

struct LKXStaffMember {
  int record = 0;  // registry number
  std::string path;  // of the record
  std::string email;
  std::string name;
  std::string managers;  // the "Manager" comma list
  bool is_hr = false;
  bool is_casual = false;
  LWeekDay work_days;
};

// The users in registry order; records without an e-mail address are
// logged and left out.
std::vector<LKXStaffMember> KXReadStaff();
// Whether `manager` stands in `member`'s "Manager" list.
bool KXIsManagerOf(const LKXStaffMember& manager, const LKXStaffMember& member);

// The application usage of a user for the week, largest first (equal times
// keep the order of the list).
std::vector<LKXAppUsage> KXSortedUsage(const LKXAppUsageList& list);

class LKXStaffWeek {
 public:
  LKXStaffWeek(LDateTime start, LDateTime end) : start_(start), end_(end) {}

  LDateTime Start() const { return start_; }
  LDateTime End() const { return end_; }

  // The week's hours, summed over the days with worked time as
  // LKXReport::LKXCalculateHours sums them.
  const LWorkHoursData& Hours(const LKXStaffMember& member);
  // The minutes the user was expected to work.
  std::int32_t Required(const LKXStaffMember& member);
  // The work-mode application usage.
  const LKXAppUsageList& Usage(const LKXStaffMember& member);
  // The days of the week, as "YYYY-MM-DD", that were work days of the user
  // and no public holiday, on which he neither worked nor had a leave form.
  std::vector<std::string> MissingDays(const LKXStaffMember& member);

 private:
  LDateTime start_;
  LDateTime end_;
  // By registry number.
  std::map<int, LWorkHoursData> hours_;
  std::map<int, std::int32_t> required_;
  std::map<int, LKXAppUsageList> usage_;
};

// (required - worked) * 100 / required when worked < required, else 0.
int KXPercentShort(std::int32_t required, std::int32_t worked);
