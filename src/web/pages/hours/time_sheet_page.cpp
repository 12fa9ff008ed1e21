#include "web/pages/hours/time_sheet_page.h"

#include "hours/work_hours.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/day_timeline.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr char kSortScript[] = "<script type=\"text/javascript\" src=\"sorttable.js\"></script>";
constexpr char kOnLoad[] = "window.onload=function(){initSearchBar();initTable(\"110\");}";

// The type cell: activities of the period (its last second, as the activity
// page's range includes its end), the manual entry, or a plain break.
std::string TypeCell(const std::string& user, const std::string& date, const LTimePeriod& p) {
  if (p.type == kKXPeriodBreak) return "<b>Break</b>";
  if (p.type == kKXPeriodManual) {
    return LHtmlFormatChecked(
        "<a href=\"viewmanual?seluser=%s&startdate=%s&enddate=%s&edit=false\" title=\"%s\"><b>%H</b></a>", user,
        date, date, "view this manual hour entry", "Manual");
  }
  const char* text = p.type == kKXPeriodIdle ? "idle" : p.type == kKXPeriodPrivate ? "<b>Private</b>" : "active";
  return LHtmlFormatChecked("<a href=\"viewactivity?seluser=%s&date=%s&starttime=%s&endtime=%s\" title=\"%s\">%s</a>",
                            user, date, KXClockText(p.start), KXClockText(p.end - 1),
                            "view activities during this period", text);
}

void SummaryRow(LWebletForm& form, const char* label, const std::string& value, bool shaded) {
  wfformat(form, "<tr bgcolor=%s><td class=tdList><b>%s</b></td><td class=tdList>%H</td></tr>",
           shaded ? "#f5fafa" : "#ffffff", label, value);
}

std::string Clock(int minutes) { return LDayTime(minutes * 60).GetText(); }

}  // namespace

void WLTimeSheet(LWebletForm& form) {
  WLCopyFieldsToSession(form, kKXUserDayFields);
  WLCopyFieldsToSession(form, kKXDayTimeFields);
  LKXTimeSheetPage page(form);
  page.Open();
}

LKXTimeSheetPage::LKXTimeSheetPage(LWebletForm& form)
    : LKXWebPage(form, "timesheetpost", "timesheet.html", "User Time Sheet") {}

void LKXTimeSheetPage::Generate() {
  LWebletForm& form = Form();
  const std::string seluser = form.Session().GetParm("seluser");
  const std::string dateText = WLSessionDayOrToday(form);
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  std::string email;
  if (!KXChooseShownUser(viewer, seluser, email)) {
    WLSendRaw(form, kKXNotAuthorized);
    return;
  }
  if (!KXViewerMaySee(viewer, email)) {
    WLSendRaw(form, kKXTimeSheetNotManager);
    return;
  }
  // The bar shows the user actually shown, also when the request named nobody.
  form.Session().SetParm("seluser", email);
  WLSendRaw(form, kSortScript);
  KXAddSearchBar(*this, true, true, false, false, false, false, true);
  AddJScriptFunction(kOnLoad);
  LDateTime date;
  if (!KXReadReportDate(dateText, "00:00:00", date)) {
    WLSendRaw(form, kKXDateNotValid);
    return;
  }
  DoSearch(email, date);
}

void LKXTimeSheetPage::DoSearch(const std::string& email, LDateTime date) {
  LWebletForm& form = Form();
  LKXUser user;
  if (!KXGetUser(email, user)) {
    WLSendRaw(form, kKXSelectedUserNotFound);
    return;
  }
  LTimePeriodList periods;
  LWorkHoursData data;
  data.last_end = kKXSecondsPerDay;
  LKXReport::LKXCalculateHours(periods, user, email, date, data);

  const std::string userLink = LHrefValue(email);
  const std::string day = date.GetDateText();
  LHtmlList list(form, "timesheet", 0, true);
  list.AddColumn("Time Start", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Time End", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Duration", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Type", 10, LHtmlList::kAlignLeft, true);
  for (const LTimePeriod& p : periods) {
    LHtmlListRow row;
    for (const std::string& clock : {KXClockText(p.start), KXClockText(p.end), KXClockText(p.end - p.start)}) {
      row.AddCell(clock, clock);
    }
    row.AddCellPrintFWithOrder(KXPeriodTypeName(p.type), "%s", TypeCell(userLink, day, p));
    list.AddRow(std::move(row));
  }
  WLSendRaw(form, KXDayTimelineSvg(periods));
  list.Write(form, 100, kTableId);

  WLSendRaw(form, "<br><table align=center width=100% cellpadding=2 cellspacing=0 class=tblList>");
  SummaryRow(form, "Start Time", LDayTime(data.first_start).GetText(), true);
  SummaryRow(form, "End Time", LDayTime(data.last_end).GetText(), false);
  SummaryRow(form, "Active Time", Clock(data.active_mins), true);
  SummaryRow(form, "Idle Time", Clock(data.idle_mins), false);
  SummaryRow(form, "Break Time", Clock(data.break_mins), true);
  SummaryRow(form, "Lunch Time",
             std::to_string(user.GetNumber(kKXUserLunchDurationMins)) + " minutes", false);
  SummaryRow(form, "Manual Time", Clock(data.manual_mins), true);
  SummaryRow(form, "Private Time", Clock(data.private_mins), false);
  SummaryRow(form, "Total Worked Hours", Clock(data.total_mins), true);
  WLSendRaw(form, "</table>");
}
