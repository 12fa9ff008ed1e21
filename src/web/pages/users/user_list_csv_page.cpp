#include "web/pages/users/user_list_csv_page.h"

#include "maintenance/maintenance_wake.h"
#include "model/new_user.h"
#include "model/user_list_csv.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/work_day_boxes.h"
#include "web/pages/users/user_import_check.h"
#include "web/panel/access_rules.h"
#include "web/panel/html_list.h"
#include "web/text/html_encoder.h"

namespace {

constexpr char kIntro[] =
    "<p>Import users from a CSV file: one line per user with the columns Email, Name, Password, Old Password, "
    "Administrator (0 or 1), Accountant (0 or 1), Send Startup Instructions (0 or 1), Team and Managers, as the "
    "export writes them. Users with an address already in the list are changed, the others added; users not in "
    "the file are kept. Passwords in the file are not used: new users are sent their startup instructions.</p>";

// Reads a chosen file into the text box, so that the form posts plain text.
constexpr char kFileScript[] =
    "function kxReadCsv(input){if(!input.files||!input.files[0]||!window.FileReader)return;"
    "var reader=new FileReader();reader.onload=function(){document.getElementsByName('csv')[0].value=reader.result;};"
    "reader.readAsText(input.files[0]);}";

// The file as the content of a text box: each line through the HTML
// encoder, which would turn the line ends themselves into markup.
std::string TextBoxText(std::string_view csv) {
  std::string text;
  std::size_t start = 0;
  while (start < csv.size()) {
    std::size_t end = csv.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = csv.size();
    if (end > start) text += LHTMLEncode(csv.substr(start, end - start)) + "\r\n";
    start = end + 1;
  }
  return text;
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

std::string Action(const LKXImportPlan::Row& row) {
  if (!row.problem.empty()) return "<font color=#a00000>" + LHtmlFormatChecked("%H", row.problem) + "</font>";
  if (!row.exists) return "add";
  if (row.changes.empty()) return "no change";
  return LHtmlFormatChecked("change: %H", row.changes);
}

void WritePlan(LWebletForm& form, const LKXImportPlan& plan) {
  LHtmlList list(form, "", -1, true);
  for (const char* title : {"Email", "Name", "Team", "Managers", "Administrator", "Accountant", "Leave Allowance",
                            "Leave Carried Over", "Action"}) {
    list.AddColumn(title, 14, LHtmlList::kAlignLeft, false);
  }
  for (const LKXImportPlan::Row& planned : plan.rows) {
    const LKXUserListCSVRow& row = planned.data;
    LHtmlListRow cells;
    cells.AddCellPrintF("%H", row.email);
    cells.AddCellPrintF("%H", row.name);
    cells.AddCellPrintF("%H", row.team);
    cells.AddCellPrintF("%H", row.manager);
    cells.AddCellPrintF("%s", YesNo(row.admin));
    cells.AddCellPrintF("%s", YesNo(row.accountant));
    // A file of nine columns leaves the leave keys as they are.
    cells.AddCellPrintF("%H", row.leaveColumns ? row.leaveAllowance : "(kept)");
    cells.AddCellPrintF("%H", row.leaveColumns ? row.leaveCarryOver : "(kept)");
    cells.AddCell(Action(planned), "");
    list.AddRow(std::move(cells));
  }
  list.Write(form, 100, 120);
}

// The work days given to the users the file adds: the boxes "wd1" (Monday)
// to "wd7"; before the form was first posted ("wdset" missing), Monday to
// Friday.
int PostedWorkDays(LWebletForm& form) {
  if (*form.Params().GetParm("wdset") == '\0') return kKXNewUserWorkDays;
  int days = 0;
  for (int i = 0; i < kKXWorkDayBoxes; ++i) {
    if (*form.Params().GetParm("wd" + std::to_string(i + 1)) != '\0') days |= KXWorkDayBit(i);
  }
  return days;
}

void WriteWorkDayBoxes(LWebletForm& form, int days) {
  WLSendRaw(form, "<p>Work days of the users added:<input type=hidden name=wdset value=1>");
  for (int i = 0; i < kKXWorkDayBoxes; ++i) {
    wfformat(form, " <label><input type=checkbox name=wd%d%s>%s</label>", i + 1,
             (days & KXWorkDayBit(i)) != 0 ? " checked" : "", kKXWorkDayLabels[i]);
  }
  WLSendRaw(form, "</p>");
}

void WakeMaintenance() {
  KXWakeMaintenance();
}

}  // namespace

void WLUserListCSV(LWebletForm& form) {
  const std::string csv = KXUserListCSVText(KXUserListCSVRows(false));
  wfformat(form,
           "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/csv; "
           "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; "
           "filename=\"userlist.csv\"\r\nContent-Length: %d\r\n\r\n",
           static_cast<int>(csv.size()));
  WLSendRaw(form, csv);
}

LKXUserImportPage::LKXUserImportPage(LWebletForm& form) : LKXWebPage(form, "userimport", "userlist.html", "") {}

bool LKXUserImportPage::WritePreview(const std::string& csv, bool apply) {
  LWebletForm& form = Form();
  const LKXImportPlan plan = KXPlanUserImport(KXParseUserListCSV(csv));
  if (plan.rows.empty()) {
    wfformat(form, "<p><b>%s</b></p>", kKXImportEmpty);
    return false;
  }
  const int workDays = PostedWorkDays(form);
  if (apply && plan.ok) {
    int added = 0;
    int changed = 0;
    bool ok = true;
    for (const LKXImportPlan::Row& row : plan.rows) {
      if (!KXStoreUserListRow(row.data, false, workDays)) {
        ok = false;
        continue;
      }
      // Counted as the preview showed it: a row that changes nothing is
      // not a change.
      if (!row.exists) {
        ++added;
      } else if (!row.changes.empty()) {
        ++changed;
      }
    }
    WakeMaintenance();
    if (!ok) wfformat(form, "<p><b>%s</b></p>", kKXImportFailed);
    wfformat(form, "<p><b>Imported: %d users added, %d users changed.</b></p>", added, changed);
    WLSendRaw(form, "<p><a href=\"userlist?category=all\">Back to the user list</a></p>");
    return true;
  }
  if (!plan.ok) wfformat(form, "<p><b>%s</b></p>", kKXImportRefused);
  WritePlan(form, plan);
  if (!plan.ok) return false;
  WriteWorkDayBoxes(form, workDays);
  // What is imported is exactly what was shown.
  wfformat(form,
           "<p><textarea name=csv style=\"display:none\">%s</textarea>"
           "<input type=submit name=submit value=\"%s\">&nbsp;<a href=\"userimport\">Cancel</a></p>",
           TextBoxText(csv), kKXImportApply);
  return true;
}

void LKXUserImportPage::Generate() {
  LWebletForm& form = Form();
  const std::string submit = form.Params().GetParm("submit");
  const std::string csv = form.Params().GetParm("csv");
  // Users are stored only by the post of the confirmed preview.
  const bool apply = submit == kKXImportApply;
  if ((apply || submit == kKXImportPreview) && WritePreview(csv, apply)) return;
  WLSendRaw(form, kIntro);
  wfformat(form,
           "<p><input type=file id=csvfile accept=\".csv,text/csv\" onchange=\"kxReadCsv(this)\"></p>"
           "<p><textarea name=csv rows=10 cols=90>%s</textarea></p>",
           TextBoxText(csv));
  WriteWorkDayBoxes(form, PostedWorkDays(form));
  wfformat(form, "<p><input type=submit name=submit value=\"%s\"></p>", kKXImportPreview);
  AddJScriptFunction(kFileScript);
}

void WLUserImportPage(LWebletForm& form) {
  LKXUserImportPage(form).Open();
}
