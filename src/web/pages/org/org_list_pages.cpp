#include "web/pages/org/org_list_pages.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "model/leave_balance.h"
#include "model/public_holidays.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/panel/html_list.h"
#include "web/text/decimal_text.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kListTableId = 110;
constexpr char kCheckBoxCell[] = "<input type=checkbox name=\"check%d\" value=\"%H\" onclick=validate()>";

// One row for a team or leave-type name.
void AddNameRow(LHtmlList& list, int number, const std::string& name, const char* argument) {
  LHtmlListRow row;
  row.SetArguments(std::string(argument) + "=" + LURIEncode(name));
  row.AddCellPrintFWithOrder("", kCheckBoxCell, number, name);
  row.AddCellPrintF("%H", name);
  list.AddRow(std::move(row));
}

int AddTeamRows(LHtmlList& list) {
  int number = 0;
  for (const std::string& name : KXGetTeamNames()) AddNameRow(list, number++, name, "selteam");
  return number;
}

int AddLeaveTypeRows(LHtmlList& list) {
  int number = 0;
  const LKXLeaveCounting counting;
  for (const std::string& name : KXGetLeaveTypeNames()) {
    LHtmlListRow row;
    row.SetArguments("selleavetype=" + LURIEncode(name));
    row.AddCellPrintFWithOrder("", kCheckBoxCell, number++, name);
    row.AddCellPrintF("%H", name);
    row.AddCellPrintF("%s", counting.Counts(name) ? "Yes" : "No");
    list.AddRow(std::move(row));
  }
  return number;
}

int AddHolidayRows(LHtmlList& list) {
  int number = 0;
  for (const LKXPublicHoliday& holiday : KXGetPublicHolidays()) {
    LHtmlListRow row;
    row.AddCellPrintFWithOrder("", kCheckBoxCell, number++, holiday.start + "~" + holiday.end);
    row.AddCellPrintF("%H", holiday.start);
    row.AddCellPrintF("%H", holiday.end);
    row.AddCellPrintF("%H", holiday.comment);
    list.AddRow(std::move(row));
  }
  return number;
}

const LKXRegistryListView kHolidayView = {
    "holidaylistpost", "holiday.html", "Holidays", "holidaylist", {"Start Date", "End Date", "Comment"},
    "Add Holiday", "/addholiday", "Delete Holiday", AddHolidayRows};

constexpr char kListScript[] =
    "function listBoxes(){var all=document.getElementsByTagName(\"input\"),boxes=[];"
    "for(var i=0;i<all.length;i++){if(all[i].type==\"checkbox\"&&/^check[0-9]+$/.test(all[i].name))"
    "boxes.push(all[i]);}return boxes;}\r\n"
    "function validate(){var boxes=listBoxes(),ticked=false,all=boxes.length>0;"
    "for(var i=0;i<boxes.length;i++){if(boxes[i].checked)ticked=true;else all=false;}"
    "document.getElementById(\"submit\").disabled=!ticked;"
    "var extra=document.getElementById(\"submitextra\");if(extra)extra.disabled=!ticked;"
    "var box=document.getElementsByName(\"selectall\")[0];if(box&&!all)box.checked=false;}\r\n"
    "function selall(on){var boxes=listBoxes();for(var i=0;i<boxes.length;i++)boxes[i].checked=on;validate();}\r\n"
    "window.onload=function(){validate();initTable(\"110\");}\r\n";

// The ticked values of a delete post, in row order.
std::vector<std::string> TickedValues(LWebletForm& form) {
  LHashTable& params = form.Params();
  const int count = std::clamp(LDecimalToInt(params.GetParm("count")), 0, kLMaxListPostRows);
  std::vector<std::string> values;
  for (int i = 0; i < count; ++i) {
    const std::string value = params.GetParm("check" + std::to_string(i));
    if (!value.empty()) values.push_back(value);
  }
  return values;
}

bool Pressed(LWebletForm& form, std::string_view label) {
  return KXSameName(form.Params().GetParm("submit"), label);
}

}  // namespace

const LKXRegistryListView kKXTeamListView = {
    "teamlistpost", "team.html", "Team List", "teamlist", {"Team Name"},
    "Add New Team", "/addteam", "Delete Team", AddTeamRows};
const LKXRegistryListView kKXLeaveTypeListView = {
    "leavetypepost", "leavetype.html", "Leave Type List", "leavetypelist",
    {"Leave Type Name", kLCountsAgainstAllowance}, "Add New Leave Type", "/addleavetype", "Delete Leave Type",
    AddLeaveTypeRows, kLSwitchCountingLabel};

LKXRegistryListPage::LKXRegistryListPage(LWebletForm& form, const LKXRegistryListView& view)
    : LKXWebPage(form, view.action, view.helpFile, view.title), view_(view) {}

void LKXRegistryListPage::Generate() {
  LWebletForm& form = Form();
  WLSendRaw(form, "<script type=\"text/javascript\" language=\"javascript\" src=\"sorttable.js\"></script>");
  LHtmlList list(form, std::string(view_.page) + "?sess=" + LURIEncode(form.Session().Id()), 1, true);
  list.AddColumnRawHTML(kLSelectAllTitle, 2, LHtmlList::kAlignRawTitle, false);
  for (const char* column : view_.columns) list.AddColumn(column, 30, LHtmlList::kAlignLeft, true);
  const int rows = view_.addRows(list);
  list.Write(form, 60, kListTableId);
  AddInputHidden("count", rows);
  constexpr char kStyle[] = "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"";
  wfformat(form,
           "<p align=center><input type=button value=\"%s\" onclick=\"window.location='%s'\" %s>&nbsp;"
           "<input type=submit name=submit id=submit value=\"%s\" %s>&nbsp;"
           "<input type=button value=\"  Return  \" onclick=\"window.location='/mainpage'\" %s></p>",
           view_.addLabel, view_.addPage, kStyle, view_.deleteLabel, kStyle, kStyle);
  if (view_.extraLabel != nullptr) {
    wfformat(form, "<p align=center><input type=submit name=submit id=submitextra value=\"%s\" %s></p>",
             view_.extraLabel, kStyle);
  }
  AddJScriptFunction(kListScript);
}

LKXTeamListPage::LKXTeamListPage(LWebletForm& form) : LKXRegistryListPage(form, kKXTeamListView) {}
LKXLeaveTypeListPage::LKXLeaveTypeListPage(LWebletForm& form) : LKXRegistryListPage(form, kKXLeaveTypeListView) {}
LKXPublicHolidayListPage::LKXPublicHolidayListPage(LWebletForm& form)
    : LKXRegistryListPage(form, kHolidayView) {}

void WLTeamListPage(LWebletForm& form) {
  LKXTeamListPage(form).Open();
}

void WLTeamListPost(LWebletForm& form) {
  if (Pressed(form, kKXTeamListView.deleteLabel)) {
    // KXDeleteTeam refuses "DefaultTeam" and moves the members of the teams
    // it deletes to "DefaultTeam", under the registry lock.
    for (const std::string& name : TickedValues(form)) (void)KXDeleteTeam(name);
  }
  LKXTeamListPage(form).Open();
}

void WLLeaveTypeListPage(LWebletForm& form) {
  LKXLeaveTypeListPage(form).Open();
}

void WLLeaveTypeListPost(LWebletForm& form) {
  if (Pressed(form, kKXLeaveTypeListView.deleteLabel)) {
    // Leave records keep the name they were filed under; the type only
    // leaves the choice of new forms.
    for (const std::string& name : TickedValues(form)) (void)KXDeleteLeaveType(name);
  } else if (Pressed(form, kLSwitchCountingLabel)) {
    const LKXLeaveCounting counting;
    for (const std::string& name : TickedValues(form)) (void)KXSetLeaveTypeCounts(name, !counting.Counts(name));
  }
  LKXLeaveTypeListPage(form).Open();
}

void WLHolidayListPage(LWebletForm& form) {
  LKXPublicHolidayListPage(form).Open();
}

void WLHolidayListPost(LWebletForm& form) {
  if (Pressed(form, kHolidayView.deleteLabel)) {
    for (const std::string& value : TickedValues(form)) {
      const std::size_t tilde = value.find('~');
      if (tilde == std::string::npos) continue;
      (void)KXDeletePublicHoliday(std::string_view(value).substr(0, tilde),
                                  std::string_view(value).substr(tilde + 1));
    }
  }
  LKXPublicHolidayListPage(form).Open();
}
