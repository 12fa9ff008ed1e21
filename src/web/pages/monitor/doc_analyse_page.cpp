#include "web/pages/monitor/doc_analyse_page.h"

#include "hours/app_usage.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/pages/monitor/app_usage_page.h"
#include "web/pages/monitor/monitor_access.h"
#include "web/pages/monitor/usage_chart.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/period_prompt.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr char kTitle[] = "Generate Document Usage Report";
constexpr char kSortScript[] = "<script type=\"text/javascript\" src=\"sorttable.js\"></script>";
constexpr char kOnLoad[] = "window.onload=function(){initTable(\"110\");}";

// Whole numbers only: seconds * 100 / total, a point, and the next two
// digits, so the figures add up the same on every machine.
std::string Percentage(std::int64_t seconds, std::int64_t total) {
  if (total <= 0) return "0.00";
  char text[48];
  std::snprintf(text, sizeof text, "%lld.%.2lld", static_cast<long long>(seconds * 100 / total),
                static_cast<long long>(seconds * 10000 / total % 100));
  return text;
}

}  // namespace

void WLDocAnalysePage(LWebletForm& form) {
  WLCopyFieldsToSession(form,
                        {{"seluser", "seluser"}, {"date", "date"}, {"enddate", "enddate"}, {"appname", "appname"}});
  const bool direct = std::string_view(form.Params().GetParm("direct")) == "true";
  if (!direct && !LWebPromptDateTimePeriod(form, "docanalyse", kTitle, true, false)) return;
  LKXDocAnalysePage page(form);
  page.Open();
}

LKXDocAnalysePage::LKXDocAnalysePage(LWebletForm& form)
    : LKXWebPage(form, "docanalysepost", "docanalyse.html", "User Application Usage Report") {}

void LKXDocAnalysePage::Generate() {
  LWebletForm& form = Form();
  const LWebletSessionData& s = form.Session();
  const std::string seluser = s.GetParm("seluser");
  const std::string appname = s.GetParm("appname");
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  LKXUser user;
  if (seluser.empty() || !KXGetUser(seluser, user)) {
    WLSendRaw(form, kKXSelectedUserNotFound2);
    return;
  }
  const std::string email = user.GetEmail();
  if (!KXViewerMaySee(viewer, email)) {
    WLSendRaw(form, kKXAppUsageNotManager);
    return;
  }
  LDateTime start;
  LDateTime end;
  if (!KXReadReportDate(s.GetParm("date"), "00:00:00", start) ||
      !KXReadReportDate(s.GetParm("enddate"), "00:00:00", end)) {
    WLSendRaw(form, kKXDateNotValid);
    return;
  }
  if (end < start) {
    WLSendRaw(form, kKXStartAfterEnd);
    return;
  }
  if (std::int64_t{end.value} - start.value >= kKXMaxUsageRangeSeconds) {
    WLSendRaw(form, kKXRangeOverAYear);
    return;
  }
  wfformat(form,
           "<table><tr><td><b>Name: </b></td><td><b>%H (%H)</b></td></tr><tr><td><b>Period: </b></td><td><b>%H ~ "
           "%H</b></td></tr><tr><td><b>Application: </b></td><td><b>%H</b></td></tr></table>",
           user.GetName(), email, start.GetDateText(), end.GetDateText(), appname);
  WLSendRaw(form, kSortScript);
  AddJScriptFunction(kOnLoad);

  LKXAppUsageList usage;
  if (KXActivityKept(user) && !appname.empty()) LKXAddDocumentUsage(usage, email, start, end, appname);
  const std::int64_t total = usage.GetTotalUsageSeconds();
  const bool ascending = std::string_view(form.Params().GetParm("bAsc")) == "1";
  LHtmlList list(form,
                 LHtmlFormatChecked("docanalyse?seluser=%s&date=%s&enddate=%s&appname=%s&direct=true",
                                    LHrefValue(email), start.GetDateText(), end.GetDateText(), LHrefValue(appname)),
                 1, ascending);
  KXFillUsageTable(
      list, usage.Entries(),
      [](LHtmlListRow& row, const LKXAppUsage& e) { row.AddCellPrintFWithOrder(e.name, "<div align=left>%H</div>", e.name); },
      [total](LHtmlListRow& row, const LKXAppUsage& e) {
        row.AddCellPrintFWithOrder(e.seconds, "<div align=right>%s%%</div>", Percentage(e.seconds, total));
      });
  list.Write(form, 100, kTableId);
}
