#include "web/pages/monitor/activity_page.h"

#include "foundation/csv_reader.h"
#include "hours/log_row.h"
#include "model/access_audit.h"
#include "model/core_data.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/pages/monitor/activity_list.h"
#include "web/pages/monitor/monitor_access.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"
#include "web/text/html_encoder.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr int kLogLockTimeoutMs = 5000;
// Rows are collected and sent in pieces of about this size: a busy day has
// tens of thousands of rows, and a send per cell would cost more than the
// page itself.
constexpr std::size_t kSendPiece = 64 * 1024;
constexpr char kBorder[] = "#c1dad7";
constexpr char kOnLoad[] = "window.onload=function(){initSearchBar();}";

struct Column {
  const char* title;
  int width;
  const char* align;
};
constexpr Column kColumns[] = {
    {"Time", 10, "left"},          {"Duration", 10, "left"}, {"Type", 10, "left"},
    {"Keys", 8, "center"},         {"Mouse", 8, "center"},   {"Applications", 15, "left"},
    {"Captions", 39, "left"},
};

void Cell(std::string& out, std::string_view text) {
  out += "<td valign=top style=\"border-top: ";
  out += kBorder;
  out += " 1px solid;\">";
  out += text;
  out += "</td>";
}

void TextCell(std::string& out, std::string_view text) {
  out += "<td valign=top style=\"border-top: ";
  out += kBorder;
  out += " 1px solid;\">";
  LStringAppender writer(out);
  LHTMLEncodeToWriter(writer, text);
  out += "&nbsp;</td>";
}

}  // namespace

void WLViewActivity(LWebletForm& form) {
  WLCopyFieldsToSession(form, kKXUserDayFields);
  WLCopyFieldsToSession(form, kKXDayTimeFields);
  LKXViewActivityPage page(form);
  page.Open();
}

LKXViewActivityPage::LKXViewActivityPage(LWebletForm& form)
    : LKXWebPage(form, "viewactivitypost", "activity.html", "User Activities Report") {}

void LKXViewActivityPage::Generate() {
  LWebletForm& form = Form();
  const std::string seluser = form.Session().GetParm("seluser");
  const std::string dateText = WLSessionDayOrToday(form);
  std::string startText = form.Session().GetParm("starttime");
  std::string endText = form.Session().GetParm("endtime");
  if (startText.empty()) startText = "00:00:00";
  if (endText.empty()) endText = "24:00:00";
  LKXUser viewer;
  std::string email;
  if (!KXMonitorPageUser(form, viewer, seluser, kKXActivityNotManager, email)) return;
  form.Session().SetParm("seluser", email);
  KXAddSearchBar(*this, true, true, false, true, false, false, true);
  AddJScriptFunction(kOnLoad);
  LDateTime date;
  if (!KXReadReportDate(dateText, "00:00:00", date)) {
    WLSendRaw(form, kKXDateNotValid);
    return;
  }
  std::int32_t from = 0;
  std::int32_t to = 0;
  if (!KXReadDayTime(startText, from) || !KXReadDayTime(endText, to)) {
    WLSendRaw(form, kKXTimeNotValid);
    return;
  }
  LKXUser shown;
  if (KXGetUser(email, shown) && !KXActivityKept(shown)) return;
  (void)KXAuditAccess(viewer.GetEmail(), email, std::string(kKXAuditActivityLog) + " " + date.GetDateText(),
                      WLAuditClient(form));
  DoSearch(email, date, from, to);
}

void LKXViewActivityPage::DoSearch(const std::string& email, LDateTime date, std::int32_t from, std::int32_t to) {
  LWebletForm& form = Form();
  const std::string bAsc = form.Params().GetParm("bAsc");
  const bool ascending = bAsc.empty() || bAsc == "1";
  LKXActivityList list(ascending);
  std::string path;
  if (LKXCoreData::GetUserActivityLogCSV(email, date, path)) {
    LCSVFileReader reader(path, kLogLockTimeoutMs);
    LKXLogRowHead head;
    std::string application;
    std::string caption;
    while (reader.Next()) {
      LKXReadLogRowTexts(reader.Line(), head, application, &caption);
      if (head.start < from || head.start > to) continue;
      list.AddActivity(head.start, head.duration, static_cast<std::uint16_t>(head.flags), head.keys, head.clicks,
                       application, caption);
    }
  }

  const std::string base = LHtmlFormatChecked(
      "viewactivity?seluser=%s&date=%s&starttime=%s&endtime=%s&direct=true", LHrefValue(email),
      date.GetDateText(), LHrefValue(KXClockText(from)), LHrefValue(KXClockText(to)));
  std::string out;
  out.reserve(kSendPiece + 4096);
  out += "<table align=center width=100% cellpadding=2 cellspacing=0 class=tblList id=" + std::to_string(kTableId) +
         "><tr style=\"height: 25px\" class=trList>";
  int index = 0;
  for (const Column& c : kColumns) {
    out += LHtmlFormatChecked(
        "<td style=\"padding-bottom: 5px;\" width=%d%% align=%s>&nbsp;<a href=\"%s&iCol=%d&bAsc=%d\" "
        "class=thList><b>%s</b></a>&nbsp;</td>",
        c.width, c.align, base, index, (index == 0 && ascending) ? 0 : 1, c.title);
    ++index;
  }
  const std::vector<LKXActivityEntry> entries = list.Sorted();
  if (entries.empty()) {
    out += "</tr><tr height=20><td colspan=7 align=center class=tdList>There are no items in this list</td>";
  }
  for (const LKXActivityEntry& e : entries) {
    out += "</tr><tr>";
    Cell(out, KXClockText(e.start));
    Cell(out, KXClockText(e.duration));
    Cell(out, (e.flags & 1) != 0 ? "Private" : "Working");
    Cell(out, std::to_string(e.keys));
    Cell(out, std::to_string(e.clicks));
    TextCell(out, e.application);
    TextCell(out, e.caption);
    if (out.size() >= kSendPiece) {
      if (WLSendRaw(form, out) != kLProcessDone) return;
      out.clear();
    }
  }
  out += "</tr></table>";
  (void)WLSendRaw(form, out);
}
