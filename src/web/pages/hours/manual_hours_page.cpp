#include "web/pages/hours/manual_hours_page.h"
#include "web/panel/search_bar.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "foundation/csv_reader.h"
#include "model/core_data.h"
#include "model/manual_log_edit.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/main_page.h"
#include "web/pages/hours/manual_page_support.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kMaxRangeSeconds = 31622400;  // 366 days
constexpr int kTableId = 110;
// A form cannot name more rows than a year of logs could hold; the number is
// a bound on the work a forged "count" can ask for.
constexpr int kMaxPostedRows = 100000;
constexpr char kApplyLabel[] = "Apply Changes";
constexpr char kDeleteLabel[] = "Delete Selected Items";
constexpr char kDiscardLabel[] = "Discard Changes";

const LKXSessionCopy kViewManualCopies[] = {
    {"userselect", "seluser"}, {"seluser", "seluser"}, {"direct", "direct"}, {"edit", "edit"},
    {"startdate", "startdate"}, {"date", "startdate"}, {"enddate", "enddate"},
};

bool IsTrue(std::string_view text) {
  return text.size() == 4 && (text[0] | 32) == 't' && (text[1] | 32) == 'r' && (text[2] | 32) == 'u' &&
         (text[3] | 32) == 'e';
}

struct ManualRow {
  std::string date, start, end, duration, comment;
  bool isPrivate = false;
};

// The rows of one day's log as the list shows them. The end is start plus
// duration; a row that ends at midnight ends at 24:00:00, so that the edit
// can tell its duration from its start and end.
void ReadDay(const std::string& email, LDateTime day, std::vector<ManualRow>& rows) {
  const std::string path = LKXCoreData::GetUserFilePathForReading(
      email, day.GetDateText() + "_manual.csv");
  if (path.empty()) return;
  LCSVFileReader reader(path, kKXManualEditLockTimeoutMs);
  while (reader.Next()) {
    LCSVReaderRow columns(reader.Line());
    ManualRow row;
    row.date = day.GetDateText();
    std::string durationText, flagsText;
    columns.GetCols(row.start, durationText, flagsText, row.comment);
    LCSVReaderRow numbers(durationText + "," + flagsText);
    const int duration = numbers.GetCol();
    const int flags = numbers.GetCol();
    row.isPrivate = (flags & 1) != 0;
    row.duration = KXClockText(duration < 0 ? 0 : duration % (LDateTime::kOneDay + 1));
    int start = 0;
    if (KXParseClock(row.start, start) && duration >= 0) {
      long end = static_cast<long>(start) + duration;
      while (end > LDateTime::kOneDay) end -= LDateTime::kOneDay;
      row.end = KXClockText(static_cast<int>(end));
    }
    rows.push_back(std::move(row));
  }
}

// In edit mode the comment is an input. A comment too long for the list's
// cell would come back cut and overwrite the stored one, so such a comment
// is shown as text and left as it is by an apply.
std::string CommentCell(const ManualRow& row, int index) {
  const std::string input = LHtmlFormatChecked(
      "<input type=text name=\"inputcomment%d\" size=60 value=\"%H\">", index, row.comment);
  if (input.size() <= LHtmlListCell::kMaxHtml) return input;
  return LHtmlFormatChecked("%H", row.comment);
}

LHtmlListRow MakeRow(const ManualRow& row, int index, bool edit) {
  LHtmlListRow cells;
  const std::string order = row.date + " " + row.start;
  if (edit) {
    cells.AddCellPrintF("<input type=checkbox name=\"check%d\" value=\"checked\" onclick=validate() />", index);
    cells.AddCellPrintFWithOrder(order, "%H<input type=hidden name=\"inputdate%d\" value=\"%H\">", row.date,
                                 index, row.date);
    cells.AddCellPrintFWithOrder(row.start, "%H<input type=hidden name=\"inputtimestart%d\" value=\"%H\">",
                                 row.start, index, row.start);
    cells.AddCellPrintFWithOrder(row.end, "%H<input type=hidden name=\"inputtimeend%d\" value=\"%H\">",
                                 row.end, index, row.end);
    cells.AddCellPrintF("%H", row.duration);
    cells.AddCellPrintFWithOrder(
        row.isPrivate ? "Private" : "Working",
        "<select name=\"selectprivate%d\"><option value=0%s>Working</option><option value=1%s>Private</option>"
        "</select>",
        index, row.isPrivate ? "" : " selected", row.isPrivate ? " selected" : "");
    cells.AddCellPrintFWithOrder(row.comment, "%s", CommentCell(row, index));
  } else {
    cells.AddCellPrintFWithOrder(order, "%H", row.date);
    cells.AddCellPrintF("%H", row.start);
    cells.AddCellPrintF("%H", row.end);
    cells.AddCellPrintF("%H", row.duration);
    cells.AddCellPrintF("%s", row.isPrivate ? "Private" : "Working");
    cells.AddCellPrintFWithOrder(row.comment, "%H", row.comment);
  }
  return cells;
}

// The range to list; false, with the reason written, when there is none.
bool ReadRange(LWebletForm& form, const std::string& startText, const std::string& endText, LDateTime& start,
               LDateTime& end) {
  if (!KXReadReportDate(startText, "00:00:00", start) || !KXReadReportDate(endText, "00:00:00", end)) {
    WLSendRaw(form, kKXBadDates);
    return false;
  }
  if (end < start) {
    WLSendRaw(form, kKXStartAfterEnd);
    return false;
  }
  if (static_cast<long>(end.value) - start.value > kMaxRangeSeconds) {
    WLSendRaw(form, kKXRangeOverAYear);
    return false;
  }
  return true;
}

constexpr char kEditScript[] =
    "function kxManualCount() {\r\n"
    "  var c = document.getElementsByName('count');\r\n"
    "  return c.length ? parseInt(c[0].value, 10) || 0 : 0;\r\n"
    "}\r\n"
    "function validate() {\r\n"
    "  var any = false;\r\n"
    "  for (var i = 0; i < kxManualCount(); i++) {\r\n"
    "    var box = document.getElementsByName('check' + i)[0];\r\n"
    "    if (box && box.checked) any = true;\r\n"
    "  }\r\n"
    "  var del = document.getElementById('btnDelete');\r\n"
    "  if (del) del.disabled = !any;\r\n"
    "}\r\n"
    "function selall() {\r\n"
    "  var all = document.getElementsByName('selectall')[0].checked;\r\n"
    "  for (var i = 0; i < kxManualCount(); i++) {\r\n"
    "    var box = document.getElementsByName('check' + i)[0];\r\n"
    "    if (box) box.checked = all;\r\n"
    "  }\r\n"
    "  validate();\r\n"
    "}\r\n"
    "window.onload=function(){validate();initSearchBar();initTable(\"110\");}\r\n";

void WriteEditButtons(LWebletForm& form, const std::string& email, const std::string& startDate,
                      const std::string& endDate) {
  const std::string addUrl = "enterhours?edit=true&seluser=" + LHrefValue(email) + "&date=" +
                             LHrefValue(startDate) + "&enddate=" + LHrefValue(endDate) +
                             "&onok=viewmanual&oncancel=viewmanual&direct=true";
  wfformat(form,
           "<table width=100%% cellpadding=4 cellspacing=0><tr><td align=left>"
           "<input type=button name=addnew value=\"Add New Item\" data-href=\"%H\" "
           "onclick=\"window.location.href=this.getAttribute('data-href')\">&nbsp;"
           "<input type=submit name=submit id=btnDelete value=\"%s\"></td>"
           "<td align=right><input type=submit name=submit value=\"%s\">&nbsp;"
           "<input type=submit name=submit value=\"%s\"></td></tr></table>",
           addUrl, kDeleteLabel, kDiscardLabel, kApplyLabel);
}

void AddColumns(LHtmlList& list, bool edit) {
  if (edit) {
    list.AddColumnRawHTML("<input type=checkbox name=selectall onclick=selall()></input>", 2,
                          LHtmlList::kAlignRawTitle, false);
  }
  list.AddColumn("Date", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Time Start", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Time End", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Duration", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Work Type", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Comments", 46, LHtmlList::kAlignLeft, true);
}

}  // namespace

LKXViewManualActPage::LKXViewManualActPage(LWebletForm& form)
    : LKXWebPage(form, "viewmanualpost", "manualactivity.html", "Manually Entered Work Hours") {}

void LKXViewManualActPage::Generate() {
  LWebletForm& form = Form();
  LWebletSessionData& session = form.Session();
  const bool edit = IsTrue(session.GetParm("edit"));
  LKXUser me;
  if (!KXGetCurrentUser(form, me)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return;
  }
  std::string email;
  if (!KXChooseShownUser(me, session.GetParm("seluser"), email)) {
    WLSendRaw(form, kKXNotAuthorized);
    return;
  }
  if (!KXViewerMaySee(me, email)) {
    WLSendRaw(form, kKXManualManagerOnly);
    return;
  }
  // The search bar shows the user whose hours are listed, so that its
  // selection is the user that an edit of this list acts on.
  session.SetParm("seluser", email);
  WLSendRaw(form, notice_);

  const std::string startText = session.GetParm("startdate");
  std::string endText = session.GetParm("enddate");
  if (endText.empty()) endText = startText;
  LDateTime start, end;
  const bool search = !startText.empty() && ReadRange(form, startText, endText, start, end);
  KXAddSearchBar(*this, true, false, true, false, true, false, true);
  WLSendRaw(form, "<script type=\"text/javascript\" language=\"javascript\" src=\"sorttable.js\"></script>");

  const std::string linkBase = "viewmanual?edit=" + std::string(edit ? "true" : "false") + "&seluser=" +
                               LHrefValue(email) + "&date=" + LHrefValue(startText) + "&enddate=" +
                               LHrefValue(endText) + "&direct=true";
  LHtmlList list(form, linkBase, edit ? 1 : 0, true);
  AddColumns(list, edit);

  std::vector<ManualRow> rows;
  if (search) {
    for (LDateTime day = start; day <= end;) {
      ReadDay(email, day, rows);
      if (!day.AddCalendarDays(1)) break;
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) list.AddRow(MakeRow(rows[i], static_cast<int>(i), edit));
  list.Write(form, 100, kTableId);

  if (edit) {
    AddInputHidden("count", static_cast<int>(rows.size()));
    WriteEditButtons(form, email, startText, endText);
    AddJScriptFunction(kEditScript);
  } else {
    AddJScriptFunction("window.onload=function(){initSearchBar();initTable(\"110\");}\r\n");
  }
}

void WLViewManual(LWebletForm& form) {
  WLCopyFieldsToSession(form, kViewManualCopies);
  LKXViewManualActPage(form).Open();
}

namespace {

// The changes that the posted rows ask for, by log date. Rows whose date,
// start or end do not parse name no log row and are passed over.
std::map<std::string, std::vector<LKXManualRowChange>> PostedChanges(const LHashTable& params, bool remove) {
  std::map<std::string, std::vector<LKXManualRowChange>> byDate;
  const int count = std::min(params.GetInt("count", 0), kMaxPostedRows);
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    if (remove && params.GetParm("check" + n)[0] == '\0') continue;
    LDateTime day;
    int start = 0, end = 0;
    const std::string startText = params.GetParm("inputtimestart" + n);
    if (!KXReadReportDate(params.GetParm("inputdate" + n), "00:00:00", day) || !KXParseClock(startText, start) ||
        !KXParseClock(params.GetParm("inputtimeend" + n), end)) {
      continue;
    }
    LKXManualRowChange change;
    change.start = startText;
    // An end at or before the start is one that went past midnight.
    change.duration = end > start ? end - start : end - start + LDateTime::kOneDay;
    change.remove = remove;
    change.makePrivate = params.GetInt("selectprivate" + n, 0) != 0;
    change.keepComment = !params.TestExists("inputcomment" + n);
    change.comment = params.GetParm("inputcomment" + n);
    byDate[day.GetDateText()].push_back(std::move(change));
  }
  return byDate;
}

// Changes the logs of `email`; the notice to show when something could not
// be done.
std::string ApplyChanges(const std::string& email, const LHashTable& params, bool remove) {
  std::string notice;
  for (const auto& [date, changes] : PostedChanges(params, remove)) {
    LDateTime day;
    std::string path;
    if (!KXReadReportDate(date, "12:00:00", day) || !LKXCoreData::GetUserManualLogCSV(email, day, path)) continue;
    const LKXManualEditResult result = KXEditManualLog(path, changes);
    if (result == LKXManualEditResult::kBusy) {
      notice += LHtmlFormatChecked(
          "<div><font color=#a00000>The manual hours of %H could not be changed: the log is in use. Please try "
          "again.</font></div>",
          date);
    } else if (result == LKXManualEditResult::kFailed) {
      notice += LHtmlFormatChecked(
          "<div><font color=#a00000>The manual hours of %H could not be changed.</font></div>", date);
    }
  }
  return notice;
}

}  // namespace

void WLViewManualPost(LWebletForm& form) {
  const std::string submit = form.Params().GetParm("submit");
  if (submit == LKXWebPage::kSearchLabel) {
    WLViewManual(form);
    return;
  }
  if (submit == kDiscardLabel) {
    // The main page's own rule, as if it had been asked for.
    if (WLCheckAccess(form, LWebAccess::kSession)) WLMainPage(form);
    return;
  }
  const bool remove = submit == kDeleteLabel;
  if (!remove && submit != kApplyLabel) {
    WLSendNoContent(form);
    return;
  }

  WLCopyFieldsToSession(form, kViewManualCopies);
  LKXViewManualActPage page(form);
  LKXUser me, user;
  std::string target = form.Params().GetParm("userselect");
  if (target.empty()) target = form.Session().GetParm("seluser");
  if (!KXGetCurrentUser(form, me)) {
    page.SetNotice("");
  } else if (!KXGetUser(target, user)) {
    page.SetNotice(kKXManualUserNotFound);
  } else if (!KXViewerMaySee(me, user.GetEmail())) {
    // The list below then shows the same refusal for that user.
    form.Session().SetParm("seluser", user.GetEmail());
  } else {
    page.SetNotice(ApplyChanges(user.GetEmail(), form.Params(), remove));
  }
  page.Open();
}
