#include "web/pages/users/user_list_page.h"

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kTableId = 110;
constexpr int kDefaultSortColumn = 2;

// A report the list links to: the category that shows it, its page, the
// arguments it needs besides the row's, its icon and texts. The management
// mode shows every icon; a report mode only its own column, if it has one.
struct Report {
  const char* category;
  const char* page;
  const char* extra;  // "year" is appended with the current year where set
  bool withYear;
  const char* column;
  const char* image;
  const char* title;
  const char* alt;
  bool ownColumnInReportMode;
};

constexpr Report kReports[] = {
    {"viewactivity", "viewactivity", "", false, "Activity", "activity.gif", "View the Employee's Activities",
     "Detailed Activities", true},
    {"viewscreen", "viewscreens", "", false, "Screen", "screens.gif", "View the User's Screen Shots",
     "Screen Shoots", true},
    {"viewmanual", "viewmanual", "&edit=false", false, "Manual", "viewmanual.gif", "View Manually Inputed Hours",
     "Manual Hours", false},
    {"viewhours", "viewhours", "", false, "Hours", "hours.gif", "View Work Hours", "Work Hours", false},
    {"viewappusage", "viewappusage", "", false, "Apps", "appusage.gif", "View Application Usage Report",
     "Application Usage", false},
    {"leavereport", "leavereport", "&edit=false&year=", true, "Holidays", "holidays.gif", "View Leave Taken",
     "Leave Report", false},
};

const Report* FindReport(std::string_view category) {
  for (const Report& report : kReports) {
    if (category == report.category) return &report;
  }
  return nullptr;
}

// The order of LHtmlList's keys: bytes compared without regard to ASCII case.
int CompareKeys(std::string_view a, std::string_view b) {
  const int order = LSettingsLowerCase(a).compare(LSettingsLowerCase(b));
  return order == 0 ? 0 : (order < 0 ? -1 : 1);
}

std::string CurrentYear() { return LDateTime::Now().GetDateText().substr(0, 4); }

std::string ExtraArguments(const Report& report, const std::string& year) {
  return report.withYear ? std::string(report.extra) + year : std::string(report.extra);
}

// The page script of a list with check boxes: the buttons follow the number
// of ticked users.
constexpr char kCheckScript[] =
    "function kxTicked(){var n=0,c=parseInt(document.forms[0].count.value,10)||0;"
    "for(var i=0;i<c;i++){var b=document.getElementsByName('check'+i)[0];if(b&&b.checked)n++;}return n;}\r\n"
    "function kxEnable(name,on){var b=document.getElementsByName(name)[0];if(b)b.disabled=!on;}\r\n"
    "function validate(){var n=kxTicked();kxEnable('submit_viewhours',n>=1);kxEnable('submit_pwdresend',n>=1);"
    "kxEnable('submit_compare',n>=2);kxEnable('submit_changeemail',n==1);}\r\n"
    "function selall(){var all=document.getElementsByName('selectall')[0];"
    "var c=parseInt(document.forms[0].count.value,10)||0;"
    "for(var i=0;i<c;i++){var b=document.getElementsByName('check'+i)[0];if(b)b.checked=all.checked;}validate();}\r\n"
    "window.onload=function(){validate();initTable(\"110\",\"1\");}";
constexpr char kPlainScript[] = "window.onload=function(){initTable(\"110\");}";

struct Layout {
  bool management;
  bool administrator;
  bool checkBoxes;
};

void AddColumns(LHtmlList& list, const Layout& layout, std::string_view category) {
  if (layout.checkBoxes) {
    list.AddColumnRawHTML("<input type=checkbox name=selectall onclick=selall()></input>", 2,
                          LHtmlList::kAlignRawTitle, false);
  }
  list.AddColumn("Name", layout.management && layout.administrator ? 26 : 34, LHtmlList::kAlignLeft, true);
  list.AddColumn("Email", 38, LHtmlList::kAlignLeft, true);
  for (const Report& report : kReports) {
    if (layout.management || (report.ownColumnInReportMode && category == report.category)) {
      list.AddColumn(report.column, 4, LHtmlList::kAlignCenter, true);
    }
  }
  if (layout.management && layout.administrator) {
    list.AddColumn("Edit", 4, LHtmlList::kAlignCenter, false);
    list.AddColumn("Delete", 4, LHtmlList::kAlignCenter, false);
  }
}

std::string IconCell(std::string_view page, std::string_view arguments, std::string_view extra,
                     std::string_view image, std::string_view title, std::string_view alt) {
  return LHtmlFormatChecked(
      "<div align=center><a href=\"%H?%H%H\"><img src=\"%s\" height=16 width=16 title=\"%H\" alt=\"%H\" "
      "border=0></a></div>",
      page, arguments, extra, image, title, alt);
}

LHtmlListRow MakeRow(const Layout& layout, std::string_view category, int number, const std::string& email,
                     const std::string& name, const std::string& year) {
  LHtmlListRow row;
  row.SetArguments("seluser=" + LHrefValue(email) + "&onok=userlist&oncancel=userlist&category=" +
                   LHrefValue(category) + "&direct=false");
  const std::string& arguments = row.Arguments();
  if (layout.checkBoxes) {
    row.AddCellPrintFWithOrder(email, "<input type=checkbox name=\"check%d\" value=\"%H\" onclick=validate()>",
                               number, email);
  }
  const Report* report = FindReport(category);
  if (layout.management && layout.administrator) {
    row.AddCellPrintFWithOrder(name, "<div align=left><a href=\"userdetail?%H\">%H</a></div>", arguments, name);
  } else if (layout.management || report == nullptr) {
    row.AddCellPrintFWithOrder(name, "<div align=left>%H</div>", name);
  } else {
    row.AddCellPrintFWithOrder(name, "<div align=left><a href=\"%H?%H%H\">%H</a></div>", report->page, arguments,
                               ExtraArguments(*report, year), name);
  }
  row.AddCellPrintF("%H", email);
  for (const Report& r : kReports) {
    if (layout.management || (r.ownColumnInReportMode && category == r.category)) {
      row.AddCell(IconCell(r.page, arguments, ExtraArguments(r, year), r.image, r.title, r.alt), name);
    }
  }
  if (layout.management && layout.administrator) {
    row.AddCell(IconCell("userdetail", arguments, "", "edit.gif", "Edit the User Detail", "Edit the User Detail"),
                name);
    row.AddCell(IconCell("deleteuser", arguments, "", "trash.gif", "Delete this User", "Delete this User"), name);
  }
  return row;
}

void WriteSubmit(LWebletForm& form, const char* name, const char* label, const char* disabled) {
  wfformat(form, "<input type=submit name=%s value=\"%s\"%s>&nbsp;", name, label, disabled);
}

void WriteButtons(LWebletForm& form, const Layout& layout, std::string_view category) {
  WLSendRaw(form, "<div align=center style=\"padding-top: 10px\">");
  // Without check boxes nothing would ever enable a button.
  const char* disabled = layout.checkBoxes ? " disabled" : "";
  if (layout.management || category == "viewhours") {
    WriteSubmit(form, "submit_viewhours", kKXListViewHours, disabled);
  }
  if (layout.management || category == "viewappusage") {
    WriteSubmit(form, "submit_compare", kKXListCompare, disabled);
  }
  if (layout.management) {
    WLSendRaw(form,
              "<input type=button value=\"Add New Employee\" "
              "onclick=\"window.location.href='userdetail?onok=userlist&amp;oncancel=userlist&amp;seluser=new'\">"
              "&nbsp;");
    WriteSubmit(form, "submit_pwdresend", kKXListResend, disabled);
    WriteSubmit(form, "submit_changeemail", kKXListChangeEmail, disabled);
  }
  if (layout.management && layout.administrator) {
    WLSendRaw(form,
              "<br><br><a href=\"userlist.csv\">Export the user list (CSV)</a>&nbsp;|&nbsp;"
              "<a href=\"userimport\">Import users from a CSV file</a>");
  }
  WLSendRaw(form, "</div>");
}

}  // namespace

bool KXUserListIsManagementMode(std::string_view category) { return category.empty() || category == "all"; }

bool KXUserListIsReportMode(std::string_view category) { return FindReport(category) != nullptr; }

LKXUserListPage::LKXUserListPage(LWebletForm& form, LKXUser& viewer, std::string_view category)
    : LKXWebPage(form, "userlistpost", "userlist.html", ""), viewer_(viewer), category_(category) {}

void LKXUserListPage::Generate() {
  LWebletForm& form = Form();
  Layout layout{};
  layout.management = KXUserListIsManagementMode(category_);
  layout.administrator = viewer_.IsAdministrator();
  const bool seesEveryone = layout.administrator || viewer_.IsAccountant();
  layout.checkBoxes = layout.management || category_ == "viewhours" || category_ == "viewappusage";
  WLSendRaw(form, "<script type=\"text/javascript\" language=\"javascript\" src=\"sorttable.js\"></script>");

  const std::string category = category_.empty() ? std::string("all") : category_;
  LHtmlList list(form, "userlist?category=" + LHrefValue(category), kDefaultSortColumn, true);
  AddColumns(list, layout, category);
  const std::string viewerEmail = viewer_.GetEmail();
  const std::string year = CurrentYear();
  int number = 0;
  std::vector<LHtmlListRow> rows;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    user.HoldReading();  // one read of each record, not one per key
    if (!seesEveryone && !KXCommaListContains(user.GetText(kKXUserManager), viewerEmail)) continue;
    rows.push_back(MakeRow(layout, category, number++, user.GetEmail(), user.GetName(), year));
  }
  // In the list's own order already, each row lands at the end of the list
  // instead of moving the rows behind it: 2,000 users would otherwise move
  // about two million rows. The list keeps the order right either way.
  const std::size_t column = list.SortColumn() < 0 ? 0 : static_cast<std::size_t>(list.SortColumn());
  const bool ascending = list.Ascending();
  std::stable_sort(rows.begin(), rows.end(), [column, ascending](const LHtmlListRow& a, const LHtmlListRow& b) {
    if (a.Cells().size() <= column || b.Cells().size() <= column) return a.Cells().size() <= column && b.Cells().size() > column;
    const int order = CompareKeys(a.Cells()[column].key, b.Cells()[column].key);
    return ascending ? order < 0 : order > 0;
  });
  for (LHtmlListRow& row : rows) list.AddRow(std::move(row));
  list.Write(form, 100, kTableId);
  AddInputHidden("count", number);
  AddInputHidden("category", category);
  WriteButtons(form, layout, category);
  AddJScriptFunction(layout.checkBoxes ? kCheckScript : kPlainScript);
}

void WLUserListPage(LWebletForm& form) {
  if (form.Params().TestExists("category")) {
    form.Session().SetParm("category", KXCleanRegistryText(form.Params().GetParm("category")));
  }
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLRefusePage(form, kKXUserListNoCurrentUser);
    return;
  }
  const std::string category = form.Session().GetParm("category");
  const bool allowed = KXUserListIsManagementMode(category)
                           ? viewer.IsAdministrator() || viewer.IsAccountant()
                           : KXUserListIsReportMode(category);
  if (!allowed) {
    WLRefusePage(form, kKXUserListNotAuthorized);
    return;
  }
  LKXUserListPage page(form, viewer, category);
  page.Open();
}
