#include "maintenance/maintenance_pass.h"

#include <ctime>
#include <string>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "foundation/stop_request.h"
#include "maintenance/daily_jobs.h"
#include "maintenance/flagged_mail.h"
#include "maintenance/offline_caption.h"
#include "maintenance/weekly_jobs.h"
#include "model/dropped_records.h"
#include "model/registry_lists.h"

namespace {

constexpr char kSettings[] = "Settings";
constexpr char kNeverRun[] = "2000-01-01 00:00:00";
constexpr int kRunHourStart = 2 * 3600;
constexpr int kRunHourEnd = 3 * 3600;
constexpr int kOneHour = 3600;

bool SwitchOn(const char* key) {
  const std::string value = LSettingGetString(kSettings, key);
  return !value.empty() && value.front() != '0';
}

std::string StampText(LDateTime moment) { return moment.GetDateText() + " " + moment.GetTimeText(); }

// "YYYY-MM-DD HH:MM:SS"; the default stands for a missing or unreadable one.
LDateTime ReadStamp(const char* key) {
  std::string text = LSettingGetString(kSettings, key);
  if (text.empty()) text = kNeverRun;
  const std::size_t space = text.find(' ');
  LDateTime stamp;
  const std::string date = text.substr(0, space);
  const std::string time = space == std::string::npos ? std::string() : text.substr(space + 1);
  if (!stamp.SetDateTime(date, time) || !stamp.IsSet()) (void)stamp.SetDateTime(kNeverRun, "");
  return stamp;
}

void RunRequested(LThread* thread, LDateTime now, const char* request, const char* stamp, const char* line,
                  void (*proc)(LThread*)) {
  if (!SwitchOn(request)) return;
  LOG(line);
  proc(thread);
  if (LStopRequested(thread)) return;
  if (!LSettingSetString(kSettings, request, "0") || !LSettingSetString(kSettings, stamp, StampText(now))) {
    LOGERROR(std::string("Unable to save \"") + stamp + "\"");
  }
}

}  // namespace

bool KXInRunHour(LDateTime now) {
  LDateTime start = now;
  LDateTime end = now;
  if (!start.SetDayTime(LDayTime(kRunHourStart)) || !end.SetDayTime(LDayTime(kRunHourEnd))) return false;
  // Where the clocks jump from 02:00 to 03:00 both ends name the same moment.
  if (end.value - start.value < kOneHour) end = start + kOneHour;
  return now > start && now < end;
}

void KXScheduleRuns(LDateTime now) {
  if (!KXInRunHour(now)) return;
  if (now.value - ReadStamp(kKXLastDailyService).value > kKXRunGapSeconds) {
    (void)LSettingSetString(kSettings, kKXRunDailyMaintenance, "1");
  }
  if (now.GetWeekDay() == LWeekDay(LWeekDay::kTuesday) &&
      now.value - ReadStamp(kKXLastWeeklyService).value > kKXRunGapSeconds) {
    (void)LSettingSetString(kSettings, kKXRunWeeklyMaintenance, "1");
  }
}

void KXMaintenancePass(const LKXPassContext& context) {
  LThread* thread = context.thread;
  const LDateTime now = LDateTime::Now();
  KXReportDroppedRecords();
  KXSendWelcomeIfRequested(thread);
  RunRequested(thread, now, kKXRunDailyMaintenance, kKXLastDailyService, "Running daily maintenance service ...",
               KXDailyMaintenance);
  RunRequested(thread, now, kKXRunWeeklyMaintenance, kKXLastWeeklyService,
               "Running weekly maintenance service ...", KXWeeklyMaintenance);
  for (LKXUserListIterator it(gKXUsersList); it.Next() && !LStopRequested(thread);) {
    LKXUser& user = it.Get();
    // One reading of the record for all its keys; a write reads afresh.
    user.HoldReading();
    KXHandleUserFlags(thread, user, context.leave_mode);
    (void)KXUpdateOfflineCaption(user, context.viewer_zone);
  }
  if (!LStopRequested(thread)) KXScheduleRuns(now);
}

int KXLocalTimeZoneBias() {
  const std::time_t now = LDateTime::Now().value;
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return -static_cast<int>(local.tm_gmtoff / 60);
}
