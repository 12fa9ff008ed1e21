// The weekly run: the managers' leave-form reminders for last week, then
// the weekly mails (weekly_report.h), all on one snapshot of the week so
// that each person's logs are read once.

#include "maintenance/weekly_jobs.h"

#include "foundation/core_calendar.h"
#include "foundation/log.h"
#include "foundation/stop_request.h"
#include "maintenance/calendar_days.h"
#include "maintenance/weekly_report.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/user.h"

namespace {

// The first work day of the week without work, leave form or holiday.
void MarkManagersReminder(const LKXStaffMember& member, LDateTime start, LDateTime end) {
  if (member.is_casual || member.work_days.IsEmpty()) return;
  LKXUser user(member.path);
  for (LDateTime day = start; day.IsSet() && day <= end;) {
    if (member.work_days.Contains(day.GetWeekDay()) && !KXIsPublicHoliday(day) && !user.HasWorkedOnDate(day) &&
        !user.HasLeaveFormOnDate(day)) {
      if (!user.SetText(kKXUserLeaveFormRemindEmailToManagers, day.GetDateText())) {
        LOGERROR("Unable to save \"LeaveFormRemindEmailToManagers\" of " + member.email);
      }
      return;
    }
    const LDateTime before = day;
    day = KXDaysFrom(day, 1);
    if (day <= before) return;
  }
}

}  // namespace

void KXWeeklyMaintenance(LThread* thread) {
  LDateTime start;
  LDateTime end;
  LKXCoreCalendar::GetLastWeek(start, end);
  if (!start.IsSet() || !end.IsSet()) return;
  if (KXOrgGetBool(LKXOrg::kModeLeave)) {
    for (const LKXStaffMember& member : KXReadStaff()) {
      if (LStopRequested(thread)) return;
      MarkManagersReminder(member, start, end);
    }
  }
  LKXStaffWeek week(start, end);
  const LKXMailSink sink = KXDeliverySink(thread);
  if (!LStopRequested(thread) && KXOrgGetBool(LKXOrg::kWeeklyReportToManagers)) KXComposeWeeklyReports(thread, week, sink);
  if (!LStopRequested(thread) && KXOrgGetBool(LKXOrg::kInsufficientHoursWarningEmail)) {
    KXComposeInsufficientHoursWarnings(thread, week, sink);
  }
  if (!LStopRequested(thread) && KXOrgGetBool(LKXOrg::kPrivateProgramsWarningEmail)) {
    KXComposePrivateProgramsWarnings(thread, week, sink);
  }
}
