#include "maintenance/daily_jobs.h"

#include <dirent.h>

#include <cstring>
#include <memory>
#include <string>

#include "foundation/log.h"
#include "foundation/stop_request.h"
#include "maintenance/calendar_days.h"
#include "maintenance/casual_schedule.h"
#include "maintenance/notification_mail.h"
#include "maintenance/screenshot_cleanup.h"
#include "model/archive_paths.h"
#include "model/core_data.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/registry_lists.h"
#include "model/user.h"

namespace {

constexpr int kHolidayLookBackDays = 2;
constexpr int kHolidayMinUsers = 4;
constexpr char kHolidayName[] = "Auto-detected Holiday";
constexpr std::int64_t kNotice24From = 86400;
constexpr std::int64_t kNotice48From = 172800;
constexpr std::int64_t kNoticesUntil = 259200;

// Unreadable or missing folders count as empty.
bool ArchiveFolderEmpty(std::string_view email) {
  const std::string folder = KXUserArchiveFile(email, ".");
  if (folder.empty()) return true;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return true;
  while (const dirent* entry = readdir(dir.get())) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) return false;
  }
  return true;
}

void SetNoticeOnce(LKXUser& user, const LKXUserKey& key) {
  if (user.GetNumber(key) == 0 && !user.SetNumber(key, 1)) {
    LOGERROR("Unable to save \"" + std::string(key.name) + "\" of " + user.GetEmail());
  }
}

}  // namespace

void KXDetectPublicHoliday(LThread* thread, LDateTime now) {
  const LDateTime day = KXDaysFrom(now, -kHolidayLookBackDays);
  if (!day.IsSet() || (day.GetWeekDay().value & (LWeekDay::kSaturday | LWeekDay::kSunday)) != 0) return;
  int users = 0;
  int with_log = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (LStopRequested(thread)) return;
    ++users;
    const std::string path = KXUserActivityLogPath(it.Get().GetEmail(), day);
    if (!path.empty() && access(path.c_str(), F_OK) == 0) ++with_log;
  }
  if (users < kHolidayMinUsers || users <= 2 * with_log) return;
  const std::string date = day.GetDateText();
  if (KXAddPublicHoliday(day, day, kHolidayName)) {
    LOGF("Auto-detected Holiday %s is added.", date.c_str());
    if (KXOrgGetBool(LKXOrg::kModeHours) || KXOrgGetBool(LKXOrg::kModeLeave)) {
      (void)SendAutoDetectedHolidayEmail(thread, day);
    }
  } else if (KXIsPublicHoliday(day)) {
    LOGF("Auto-detected Holiday %s already exists.", date.c_str());
  } else {
    LOGERRORF("Unable to add the public holiday %s", date.c_str());
  }
}

bool KXMarkNoConnectionNotices(LKXUser& user, LDateTime now) {
  const std::string started = user.GetText(kKXUserEmpStartDate);
  if (started.empty()) return true;
  const std::size_t space = started.find(' ');
  LDateTime moment;
  if (space == std::string::npos || !moment.SetDateTime(started.substr(0, space), started.substr(space + 1)) ||
      !moment.IsSet()) {
    LOGERROR("Unreadable \"EmpStartDate\" of " + user.GetEmail() + ": " + started);
    return false;
  }
  const std::int64_t age = std::int64_t{now.value} - moment.value;
  if (age < kNotice24From || age >= kNoticesUntil || !ArchiveFolderEmpty(user.GetEmail())) return true;
  SetNoticeOnce(user, age < kNotice48From ? kKXUserNonConnectNotice24 : kKXUserNonConnectNotice48);
  return true;
}

void KXMarkLeaveFormReminder(LKXUser& user, LDateTime now) {
  const LDateTime yesterday = KXDaysFrom(now, -1);
  if (!yesterday.IsSet() || KXIsPublicHoliday(yesterday) || user.IsCasual()) return;
  const LWeekDay days = user.GetWorkDays();
  if (days.IsEmpty() || !days.Contains(yesterday.GetWeekDay())) return;
  if (user.HasWorkedOnDate(yesterday) || user.HasLeaveFormOnDate(yesterday)) return;
  if (!user.SetText(kKXUserLeaveFormRemindEmail, yesterday.GetDateText())) {
    LOGERROR("Unable to save \"LeaveFormRemindEmail\" of " + user.GetEmail());
  }
}

void KXSendCasualHoursIfDue(LThread* thread, LDateTime now) {
  if (!KXOrgGetBool(LKXOrg::kCasualHoursEmailToHR)) return;
  const LKXCasualPeriod period = KXCasualHoursDue(now);
  if (period.due) SendCasualWorkHours(thread, period.start, period.end);
}

void KXDailyMaintenance(LThread* thread) {
  const LDateTime now = LDateTime::Now();
  KXDeleteOldScreenshots(thread);
  if (KXOrgGetBool(LKXOrg::kAutoDetectHolidays)) KXDetectPublicHoliday(thread, now);
  const bool leave_mode = KXOrgGetBool(LKXOrg::kModeLeave);
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (LStopRequested(thread)) return;
    LKXUser& user = it.Get();
    if (user.GetEmail().empty()) {
      LOGERRORF("User record %d has no e-mail address; skipped", it.GetID());
      continue;
    }
    (void)KXMarkNoConnectionNotices(user, now);
    if (leave_mode) KXMarkLeaveFormReminder(user, now);
  }
  if (!LStopRequested(thread)) KXSendCasualHoursIfDue(thread, now);
}
