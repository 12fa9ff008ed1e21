#include "web/pages/hours/view_hours_page.h"

#include "model/registry_text.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_report.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr char kSortScript[] = "<script type=\"text/javascript\" src=\"sorttable.js\"></script>";
constexpr char kOnLoad[] = "window.onload=function(){initSearchBar();initTable(\"110\");}";

// An amount cell, sorted by its minutes.
void AmountCell(LHtmlListRow& row, long long minutes) {
  row.AddCellPrintFWithOrder(static_cast<int>(minutes), "%s", KXMinutesText(minutes));
}

void AddAmounts(LHtmlListRow& row, const LKXHoursAmounts& a) {
  for (long long minutes : {a.breaks, a.active, a.idle, a.manual, a.total}) AmountCell(row, minutes);
}

// Required and difference; empty where the row owes no time. A user's total
// row shows the balance over the range: overtime or hours short.
void AddRequired(LHtmlListRow& row, const LKXHoursReportRow& r) {
  if (!r.owesTime) {
    row.AddCellPrintF("&nbsp;");
    row.AddCellPrintF("&nbsp;");
    return;
  }
  AmountCell(row, r.amounts.required);
  const long long difference = r.amounts.total - r.amounts.required;
  const char* colour = difference < 0 ? "#a00000" : "#1b6e20";
  row.AddCellPrintFWithOrder(static_cast<int>(difference), "<font color=%s>%s</font>", colour,
                             KXSignedMinutesText(difference));
}

std::string ShownName(const LKXHoursReportRow& r) { return r.name.empty() ? r.email : r.name; }

// A worked day: the date with its screenshot and usage icons, and every
// amount linking to the page that explains it.
LHtmlListRow DayRow(const LKXHoursReportRow& r) {
  const std::string user = LHrefValue(r.email);
  const std::string& d = r.date;
  LHtmlListRow row;
  row.SetArgumentsPrintF("seluser=%s&startdate=%s&enddate=%s&date=%s&direct=true", user, d, d, d);
  const std::string usage = "viewappusage?" + row.Arguments();
  row.AddCellPrintFWithOrder(ShownName(r), "%H", ShownName(r));
  row.AddCellPrintFWithOrder(
      d,
      "<a href=\"%s\" title=\"View application usage for the day\">%s</a>&nbsp;<a "
      "href=\"viewscreens?seluser=%s&date=%s\"><img src=\"screens.gif\" height=16 width=16 title=\"View screen "
      "shots\" alt=\"Screen Shots\" border=0></a>&nbsp;<a href=\"%s\"><img src=\"appusage.gif\" height=16 width=16 "
      "title=\"View application usage\" alt=\"Application Usage\" border=0></a>",
      usage, d, user, d, usage);
  row.AddCellPrintF("%s", LDayTime(static_cast<std::int32_t>(r.firstStart)).GetText());
  row.AddCellPrintF("%s", LDayTime(static_cast<std::int32_t>(r.lastEnd)).GetText());
  const std::string sheet = LHtmlFormatChecked(
      "<a href=\"timesheet?seluser=%s&date=%s&starttime=00:00:00&endtime=24:00:00\" title=\"View the timesheet for "
      "the day\">",
      user, d);
  for (long long minutes : {r.amounts.breaks, r.amounts.active, r.amounts.idle}) {
    row.AddCellPrintFWithOrder(static_cast<int>(minutes), "%s%s</a>", sheet, KXMinutesText(minutes));
  }
  row.AddCellPrintFWithOrder(static_cast<int>(r.amounts.manual),
                             "<a href=\"viewmanual?seluser=%s&startdate=%s&enddate=%s\" title=\"View manual time "
                             "sheet for the day\">%s</a>",
                             user, d, d, KXMinutesText(r.amounts.manual));
  row.AddCellPrintFWithOrder(static_cast<int>(r.amounts.total),
                             "<a href=\"viewactivity?seluser=%s&date=%s&starttime=00:00:00&endtime=24:00:00\" "
                             "title=\"View detailed activities for the day\"><b>%s</b></a>",
                             user, d, KXMinutesText(r.amounts.total));
  AddRequired(row, r);
  return row;
}

LHtmlListRow SumRow(const LKXHoursReportRow& r) {
  LHtmlListRow row;
  switch (r.kind) {
    case LKXHoursReportRow::kUserMean:
      row.AddCellPrintFWithOrder(ShownName(r), "%H", ShownName(r));
      row.AddCellPrintF("Mean %d days", r.count);
      row.AddCellPrintF("%s", KXDaySecondsHHMM(r.firstStart));
      row.AddCellPrintF("%s", KXDaySecondsHHMM(r.lastEnd));
      break;
    case LKXHoursReportRow::kUserTotal:
      row.AddCellPrintFWithOrder(ShownName(r), "%H", ShownName(r));
      row.AddCellPrintF("Total %d days", r.count);
      row.AddCellPrintF("&nbsp;");
      row.AddCellPrintF("&nbsp;");
      break;
    default:
      // Groups 1 and 2 keep the report's mean and total below the users
      // whatever column the table is sorted by.
      row.SetSortGroup(r.kind == LKXHoursReportRow::kReportMean ? 1 : 2);
      if (r.kind == LKXHoursReportRow::kReportMean) {
        row.AddCellPrintF("Mean of %d", r.count);
      } else {
        row.AddCellPrintF("Total of %d", r.count);
      }
      for (int i = 0; i < 3; ++i) row.AddCellPrintF("&nbsp;");
      break;
  }
  AddAmounts(row, r.amounts);
  AddRequired(row, r);
  return row;
}

}  // namespace

void WLViewHoursPage(LWebletForm& form) {
  // The date calendar links here with "date"; "startdate" wins when both come.
  WLCopyFieldsToSession(form, {{"seluser", "selusers"},
                               {"date", "startdate"},
                               {"startdate", "startdate"},
                               {"enddate", "enddate"}});
  LKXViewHoursPage page(form);
  page.Open();
}

void WLViewHoursPost(LWebletForm& form) {
  if (KXSameName(form.Params().GetParm("submit"), LKXWebPage::kSearchLabel)) {
    // The report needs the session its page's row asks for; any other post
    // is answered whoever sends it.
    if (WLValidateSession(form)) WLViewHoursPage(form);
  } else {
    WLSendNoContent(form);
  }
}

LKXViewHoursPage::LKXViewHoursPage(LWebletForm& form)
    : LKXWebPage(form, "viewhourspost", "workhours.html", "User Work Hours Report") {}

void LKXViewHoursPage::Generate() {
  LWebletForm& form = Form();
  const std::string selusers = form.Session().GetParm("selusers");
  const std::string startDate = form.Session().GetParm("startdate");
  const std::string endDate = form.Session().GetParm("enddate");
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  const LKXHoursRange range = KXReadHoursRange(startDate, endDate);
  if (range.message != nullptr) WLSendRaw(form, range.message);
  WLSendRaw(form, kSortScript);
  KXAddSearchBar(*this, false, false, true, false, false, false, false);
  AddJScriptFunction(kOnLoad);

  LHtmlList list(form, "viewhours?direct=true", 0, true);
  list.AddColumn("Name", 14, LHtmlList::kAlignLeft, true);
  list.AddColumn("Date", 14, LHtmlList::kAlignLeft, true);
  list.AddColumn("Time Start", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Time End", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Break(s)", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Active", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Idle", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Manual", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Total", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Required", 8, LHtmlList::kAlignLeft, true);
  list.AddColumn("Difference", 8, LHtmlList::kAlignLeft, true);

  const LKXHoursReport report = KXBuildHoursReport(viewer, selusers, range);
  for (const std::string& email : report.refused) {
    wfformat(form, "<div>Only the manager of user %H can view the work hours.</div>", email);
  }
  if (range.searchable) {
    // The download names its report in full, so it is the report shown here
    // even when another window changes the session meanwhile.
    wfformat(form,
             "<div align=right class=noprint><a href=\"viewhours.csv?seluser=%s&startdate=%s&enddate=%s\" "
             "title=\"Download these rows as a CSV file\">Export CSV</a></div>",
             LHrefValue(selusers), range.start.GetDateText(), range.end.GetDateText());
  }
  for (const LKXHoursReportRow& r : report.rows) {
    list.AddRow(r.kind == LKXHoursReportRow::kDay ? DayRow(r) : SumRow(r));
  }
  list.Write(form, 100, kTableId);
}
