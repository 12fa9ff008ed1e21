#include "web/pages/monitor/app_usage_page.h"

#include <algorithm>

#include "hours/app_usage.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/pages/monitor/monitor_access.h"
#include "web/pages/monitor/usage_chart.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr char kSortScript[] = "<script type=\"text/javascript\" src=\"sorttable.js\"></script>";
constexpr char kOnLoad[] = "window.onload=function(){initSearchBar();initTable(\"110\");}";

std::vector<std::string> SplitAddresses(std::string_view text) {
  std::vector<std::string> out;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    while (!item.empty() && static_cast<unsigned char>(item.front()) <= ' ') item.remove_prefix(1);
    while (!item.empty() && static_cast<unsigned char>(item.back()) <= ' ') item.remove_suffix(1);
    if (!item.empty()) out.emplace_back(item);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return out;
}

std::vector<LKXAppUsage> Entries(const LKXAppUsageList& list) {
  return std::vector<LKXAppUsage>(list.Entries().begin(), list.Entries().end());
}

// The table on the left, the chart on the right.
void WriteWithChart(LWebletForm& form, const LHtmlList& list, const std::vector<LKXAppUsage>& entries) {
  const std::string chart = KXUsageChartSvg(entries);
  if (chart.empty()) {
    list.Write(form, 100, kTableId);
    return;
  }
  WLSendRaw(form, "<table width=100% cellpadding=0 cellspacing=0><tr valign=top><td width=70%>");
  list.Write(form, 100, kTableId);
  WLSendRaw(form, "</td><td align=center class=noprint>");
  WLSendRaw(form, chart);
  WLSendRaw(form, "</td></tr></table>");
}

}  // namespace

void WLViewAppUsage(LWebletForm& form) {
  WLCopyFieldsToSession(form, {{"seluser", "selusers"}, {"startdate", "startdate"}, {"enddate", "enddate"}});
  LKXViewAppUsagePage page(form);
  page.Open();
}

void WLViewAppUsagePost(LWebletForm& form) {
  if (KXSameName(form.Params().GetParm("submit"), LKXWebPage::kSearchLabel)) {
    // The report needs the session its page's row asks for; any other post
    // is answered whoever sends it.
    if (WLValidateSession(form)) WLViewAppUsage(form);
  } else {
    WLSendNoContent(form);
  }
}

LKXViewAppUsagePage::LKXViewAppUsagePage(LWebletForm& form)
    : LKXWebPage(form, "viewappusagepost", "appusage.html", "User Application Usage Report") {}

void LKXViewAppUsagePage::Generate() {
  LWebletForm& form = Form();
  const std::vector<std::string> emails = SplitAddresses(form.Session().GetParm("selusers"));
  const std::string startText = form.Session().GetParm("startdate");
  const std::string endText = form.Session().GetParm("enddate");
  LDateTime start;
  LDateTime end;
  bool report = !startText.empty() && !endText.empty();
  if (report && (!KXReadReportDate(startText, "00:00:00", start) || !KXReadReportDate(endText, "00:00:00", end))) {
    WLSendRaw(form, kKXDateNotValid);
    report = false;
  }
  if (report && end < start) {
    WLSendRaw(form, kKXStartAfterEnd);
    report = false;
  }
  if (report && std::int64_t{end.value} - start.value >= kKXMaxUsageRangeSeconds) {
    WLSendRaw(form, kKXRangeOverAYear);
    report = false;
  }
  if (emails.size() > static_cast<std::size_t>(kKXMaxComparedUsers)) {
    WLSendRaw(form, kKXTooManyUsers);
    report = false;
  }
  WLSendRaw(form, kSortScript);
  KXAddSearchBar(*this, false, false, true, false, false, false, false);
  AddJScriptFunction(kOnLoad);
  if (emails.size() >= 2) {
    LKXUser viewer;
    if (!KXGetCurrentUser(form, viewer)) {
      WLSendRaw(form, kKXCurrentUserNotFound);
      return;
    }
    if (report) UserComparisonOpen(viewer, emails, start, end);
    return;
  }
  LKXUser viewer;
  std::string email;
  if (!KXMonitorPageUser(form, viewer, emails.empty() ? std::string() : emails.front(), kKXAppUsageNotManager,
                         email)) {
    return;
  }
  if (report) DoSearchSingle(email, start, end);
}

void LKXViewAppUsagePage::DoSearchSingle(const std::string& email, LDateTime start, LDateTime end) {
  LWebletForm& form = Form();
  const std::string user = LHrefValue(email);
  const std::string first = start.GetDateText();
  const std::string last = end.GetDateText();
  wfformat(form,
           "<div align=right class=noprint><a href=\"viewscreens?seluser=%s&date=%s\"><img src=\"screens.gif\" "
           "height=16 width=16 title=\"View screen shots\" alt=\"Screen Shots\" border=0>&nbsp;Screen Shots</a></div>",
           user, first);
  LKXAppUsageList usage;
  LKXUser shown;
  if (KXGetUser(email, shown) && KXActivityKept(shown)) LKXAddAppUsage(usage, email, start, end);
  const std::int64_t total = usage.GetTotalUsageSeconds();
  const bool ascending = std::string_view(form.Params().GetParm("bAsc")) == "1";
  LHtmlList list(form, LHtmlFormatChecked("viewappusage?seluser=%s&date=%s&enddate=%s&direct=true", user, first, last),
                 1, ascending);
  const auto application = [&](LHtmlListRow& row, const LKXAppUsage& e) {
    row.AddCellPrintFWithOrder(
        e.name,
        "<div align=left><a href=\"docanalyse?seluser=%s&date=%s&enddate=%s&appname=%s&direct=true\">%H</a></div>",
        user, first, last, LHrefValue(e.name), e.name);
  };
  const auto percentage = [total](LHtmlListRow& row, const LKXAppUsage& e) {
    const double percent = total > 0 ? 100.0 * e.seconds / static_cast<double>(total) : 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", percent);
    row.AddCellPrintFWithOrder(static_cast<int>(total > 0 ? std::int64_t{e.seconds} * 1000000 / total : 0),
                               "<div align=right>%s%%</div>", text);
  };
  KXFillUsageTable(list, usage.Entries(), application, percentage);
  WriteWithChart(form, list, Entries(usage));
}

void LKXViewAppUsagePage::UserComparisonOpen(LKXUser& viewer, const std::vector<std::string>& emails,
                                             LDateTime start, LDateTime end) {
  LWebletForm& form = Form();
  struct Compared {
    std::string name;
    LKXAppUsageList usage;
    std::int64_t total = 0;
  };
  std::vector<Compared> users;
  LKXAppUsageList combined;
  for (const std::string& address : emails) {
    LKXUser user;
    if (!KXGetUser(address, user)) continue;
    if (!KXViewerMaySee(viewer, user.GetEmail())) {
      wfformat(form, "<div>%H: %s</div>", address, kKXAppUsageNotManager);
      continue;
    }
    Compared c;
    c.name = user.GetName().empty() ? user.GetEmail() : user.GetName();
    if (KXActivityKept(user)) LKXAddAppUsage(c.usage, user.GetEmail(), start, end);
    c.total = c.usage.GetTotalUsageSeconds();
    for (const LKXAppUsage& e : c.usage.Entries()) combined.AddApp(e.seconds, e.keys, e.clicks, e.name);
    users.push_back(std::move(c));
  }
  if (users.empty()) return;
  std::stable_sort(users.begin(), users.end(), [](const Compared& a, const Compared& b) { return a.total > b.total; });
  std::vector<LKXAppUsage> rows = Entries(combined);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const LKXAppUsage& a, const LKXAppUsage& b) { return a.seconds > b.seconds; });
  if (rows.size() > kKXMaxComparisonRows) rows.resize(kKXMaxComparisonRows);

  const int count = static_cast<int>(users.size());
  const bool ascending = std::string_view(form.Params().GetParm("bAsc")) == "1";
  LHtmlList list(form, "viewappusage?direct=true", count + 1, ascending);
  list.AddColumn("Application", 20, LHtmlList::kAlignLeft, true);
  for (const Compared& c : users) list.AddColumn(c.name, 72 / count, LHtmlList::kAlignCenter, true);
  list.AddColumn("Total", 8, LHtmlList::kAlignCenter, true);
  for (const LKXAppUsage& app : rows) {
    LHtmlListRow row;
    row.AddCellPrintFWithOrder(app.name, "<big>%H</big>", app.name);
    for (const Compared& c : users) {
      const auto& entries = c.usage.Entries();
      const auto found = std::find_if(entries.begin(), entries.end(),
                                      [&](const LKXAppUsage& e) { return KXSameName(e.name, app.name); });
      if (found == entries.end()) {
        row.AddCellPrintFWithOrder(0, "<div align=center>&nbsp;</div>");
      } else {
        row.AddCellPrintFWithOrder(found->seconds,
                                   "<div align=center><big>%s</big><br><tt>KEY&nbsp;%d&nbsp;MSE&nbsp;%d</tt></div>",
                                   KXClockText(found->seconds), found->keys, found->clicks);
      }
    }
    row.AddCellPrintFWithOrder(app.seconds, "<div align=center><big>%s</big></div>", KXClockText(app.seconds));
    list.AddRow(std::move(row));
  }
  WriteWithChart(form, list, rows);
}
