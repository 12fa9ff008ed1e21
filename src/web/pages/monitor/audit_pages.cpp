#include "web/pages/monitor/audit_pages.h"

#include "model/access_audit.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/report_dates.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/standard_header.h"

namespace {

// The links of the bar; %s is the page's help file.
constexpr char kLinksFormat[] =
    "<a href=\"mainpage\" class=toptext>Main</a>&nbsp;|&nbsp;<a href=\"logout\" class=toptext>Logout</a>"
    "&nbsp;|&nbsp;<a href=\"help/%s.html\" target=\"_blank\" class=toptext>Help</a>";

LDateTime ShownDay(LWebletForm& form) {
  LDateTime day;
  if (KXReadReportDate(form.Params().GetParm("date"), "00:00:00", day)) return day;
  day = LDateTime::Now();
  (void)day.SetDayTime(LDayTime(0));
  return day;
}

void WritePage(LWebletForm& form, const char* page, const char* title, std::string_view subject, bool showSubject) {
  const LDateTime day = ShownDay(form);
  LDateTime previous = day;
  LDateTime next = day;
  (void)previous.AddCalendarDays(-1);
  (void)next.AddCalendarDays(1);
  WLReportStandardHeader(form, LHtmlFormatChecked(kLinksFormat, page), title);
  wfformat(form,
           "<div><a href=\"%s?date=%s\">&lt;</a>&nbsp;<b>%s</b>&nbsp;<a href=\"%s?date=%s\">&gt;</a></div><br>",
           page, previous.GetDateText(), day.GetDateText(), page, next.GetDateText());
  LHtmlList list(form, "", 0, true);
  list.AddColumn("Time", 10, LHtmlList::kAlignLeft, false);
  list.AddColumn("Viewer", 25, LHtmlList::kAlignLeft, false);
  if (showSubject) list.AddColumn("Whose Data", 25, LHtmlList::kAlignLeft, false);
  list.AddColumn("What", 25, LHtmlList::kAlignLeft, false);
  list.AddColumn("From", 15, LHtmlList::kAlignLeft, false);
  for (const LKXAuditEntry& e : KXReadAuditLog(day, subject)) {
    LHtmlListRow row;
    row.AddCellPrintF("%H", e.time);
    row.AddCellPrintF("%H", e.viewer);
    if (showSubject) row.AddCellPrintF("%H", e.subject);
    row.AddCellPrintF("%H", e.what);
    row.AddCellPrintF("%H", e.client);
    list.AddRow(std::move(row));
  }
  list.Write(form, 100);
  WLStandardFooter(form);
}

}  // namespace

void WLAuditLogPage(LWebletForm& form) {
  WritePage(form, "auditlog", "Access Audit", "", true);
}

void WLMyAuditPage(LWebletForm& form) {
  std::string email;
  if (!KXGetCurrentUserEmail(form, email)) {
    WLStandardHeader(form);
    WLSendRaw(form, "Current user not found!");
    WLStandardFooter(form);
    return;
  }
  WritePage(form, "myaudit", "Who Viewed My Data", email, false);
}
