#include "maintenance/weekly_report.h"

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/stop_request.h"
#include "maintenance/notification_mail.h"
#include "maintenance/notification_texts.h"
#include "maintenance/weekly_texts.h"
#include "model/org_settings.h"
#include "model/registry_text.h"

namespace {

constexpr std::size_t kTopApplications = 5;
constexpr int kPrivateShareMinPercent = 2;

bool IsManager(const LKXStaffMember& user, const std::vector<LKXStaffMember>& staff) {
  return std::any_of(staff.begin(), staff.end(),
                     [&user](const LKXStaffMember& member) { return KXIsManagerOf(user, member); });
}

std::string ApplicationsSection(LKXStaffWeek& week, const std::vector<const LKXStaffMember*>& mine) {
  // One list over all his staff, fed person by person in registry order, as
  // if every day's log had been read into it in turn.
  LKXAppUsageList list;
  for (const LKXStaffMember* member : mine) {
    const std::forward_list<LKXAppUsage>& entries = week.Usage(*member).Entries();
    std::vector<const LKXAppUsage*> oldest_first;
    for (const LKXAppUsage& app : entries) oldest_first.push_back(&app);
    for (auto it = oldest_first.rbegin(); it != oldest_first.rend(); ++it) {
      list.AddApp((*it)->seconds, (*it)->keys, (*it)->clicks, (*it)->name);
    }
  }
  const std::int32_t total = list.GetTotalUsageSeconds();
  const std::vector<LKXAppUsage> sorted = KXSortedUsage(list);
  std::string out = KXWeeklyApplicationsHead();
  for (std::size_t i = 0; i < sorted.size() && i < kTopApplications; ++i) out += KXUsageLine(sorted[i], total);
  return out + "\r\n";
}

std::string ReportBody(LKXStaffWeek& week, const LKXStaffMember& manager,
                       const std::vector<const LKXStaffMember*>& mine) {
  std::string body = KXWeeklyGreeting(manager.name);
  if (KXOrgGetBool(LKXOrg::kWeeklyReportHours)) {
    body += KXWeeklyHoursHead(week.Start().GetDateText(), week.End().GetDateText());
    for (const LKXStaffMember* member : mine) body += KXWeeklyHoursRow(member->name, week.Hours(*member));
  }
  if (KXOrgGetBool(LKXOrg::kWeeklyReportApplications)) body += ApplicationsSection(week, mine);
  if (KXOrgGetBool(LKXOrg::kWeeklyReportNonWorking)) {
    body += KXWeeklyMissingDaysHead();
    for (const LKXStaffMember* member : mine) {
      if (member->is_casual || member->work_days.IsEmpty()) continue;
      body += KXWeeklyMissingDaysRow(member->name, week.MissingDays(*member));
    }
    body += "\r\n";
  }
  if (KXOrgGetBool(LKXOrg::kWeeklyReportEnoughHours)) {
    const int tolerance = KXOrgGetInt(LKXOrg::kWeeklyReportEnoughHoursTolerance);
    body += KXWeeklyShortHoursHead();
    for (const LKXStaffMember* member : mine) {
      if (member->is_casual) continue;
      const std::int32_t worked = week.Hours(*member).total_mins;
      const std::int32_t required = week.Required(*member);
      if (worked >= required) continue;
      const int percent = KXPercentShort(required, worked);
      if (percent > tolerance) body += KXWeeklyShortHoursRow(member->name, required, worked, percent);
    }
    body += "\r\n";
  }
  return body;
}

// Whether `name` is one of the comma-separated `programs` (letter case
// ignored).
bool IsListed(const std::string& programs, const std::string& name) { return KXCommaListContains(programs, name); }

}  // namespace

LKXMailSink KXDeliverySink(LThread* thread) {
  return [thread](std::string_view to, std::string_view subject, std::string_view body) {
    return SendEmail(thread, to, subject, body);
  };
}

void KXComposeWeeklyReports(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink) {
  const std::vector<LKXStaffMember> staff = KXReadStaff();
  for (const LKXStaffMember& manager : staff) {
    if (LStopRequested(thread)) return;
    if (!IsManager(manager, staff)) continue;
    std::vector<const LKXStaffMember*> mine;
    for (const LKXStaffMember& member : staff) {
      if (KXIsManagerOf(manager, member)) mine.push_back(&member);
    }
    (void)sink(manager.email, kKXWeeklyReportSubject, ReportBody(week, manager, mine));
  }
}

void KXComposeInsufficientHoursWarnings(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink) {
  const std::vector<LKXStaffMember> staff = KXReadStaff();
  const int tolerance = KXOrgGetInt(LKXOrg::kInsufficientHoursWarningTolerance);
  const bool to_staff = KXOrgGetBool(LKXOrg::kInsufficientHoursWarningToStaff);
  // Either switch sends the copy to both managers and HR.
  const bool copies =
      KXOrgGetBool(LKXOrg::kInsufficientHoursWarningToManagers) || KXOrgGetBool(LKXOrg::kInsufficientHoursWarningToHR);
  const LKXPanelAddresses addresses = KXReadPanelAddresses();
  for (const LKXStaffMember& member : staff) {
    if (LStopRequested(thread)) return;
    if (member.is_casual) continue;
    LKXShortfall shortfall;
    shortfall.worked = week.Hours(member).total_mins;
    shortfall.required = week.Required(member);
    if (shortfall.required <= shortfall.worked) continue;
    shortfall.percent = KXPercentShort(shortfall.required, shortfall.worked);
    if (shortfall.percent <= tolerance) continue;
    shortfall.start = week.Start().GetDateText();
    shortfall.end = week.End().GetDateText();
    if (to_staff) (void)sink(member.email, kKXWorkHoursNoticeSubject, KXWorkHoursNoticeBody(shortfall, addresses));
    if (!copies) continue;
    const std::string subject = KXFormatText(kKXWorkHoursNoticeCopySubject, member.name.c_str());
    const std::string body = KXWorkHoursNoticeCopyBody(member.name, shortfall, addresses);
    for (const LKXStaffMember& other : staff) {
      if (other.is_hr || KXIsManagerOf(other, member)) (void)sink(other.email, subject, body);
    }
  }
}

void KXComposePrivateProgramsWarnings(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink) {
  const std::vector<LKXStaffMember> staff = KXReadStaff();
  const std::string start = week.Start().GetDateText();
  const std::string end = week.End().GetDateText();
  for (const LKXStaffMember& member : staff) {
    if (LStopRequested(thread)) return;
    const std::string programs = KXOrgGetText(LKXOrg::kPrivatePrograms);
    if (programs.empty()) continue;
    const LKXAppUsageList& usage = week.Usage(member);
    const std::int32_t total = usage.GetTotalUsageSeconds();
    bool any = false;
    std::string lines;
    for (const LKXAppUsage& app : KXSortedUsage(usage)) {
      if (!IsListed(programs, app.name)) continue;
      any = true;
      if (std::int64_t{app.seconds} * 100 >= std::int64_t{total} * kPrivateShareMinPercent) {
        lines += KXUsageLine(app, total);
      }
    }
    if (!any) continue;
    (void)sink(member.email, kKXPrivateProgramsSubject, KXPrivateProgramsHead(member.name, start, end) + lines);
    if (!KXOrgGetBool(LKXOrg::kPrivateProgramsWarningEmailToManager)) continue;
    const std::string subject = KXFormatText(kKXPrivateProgramsCopySubject, member.name.c_str());
    for (const LKXStaffMember& manager : staff) {
      if (!KXIsManagerOf(manager, member)) continue;
      (void)sink(manager.email, subject, KXPrivateProgramsCopyHead(manager.name, member.name, start, end) + lines);
    }
  }
}

void SendWeeklyReportToManagers(LThread* thread, LDateTime start, LDateTime end) {
  LKXStaffWeek week(start, end);
  KXComposeWeeklyReports(thread, week, KXDeliverySink(thread));
}

void SendInsufficientHoursWarningEmail(LThread* thread, LDateTime start, LDateTime end) {
  LKXStaffWeek week(start, end);
  KXComposeInsufficientHoursWarnings(thread, week, KXDeliverySink(thread));
}

void SendPrivateProgramsWarningEmail(LThread* thread, LDateTime start, LDateTime end) {
  LKXStaffWeek week(start, end);
  KXComposePrivateProgramsWarnings(thread, week, KXDeliverySink(thread));
}
