#include "web/pages/leave/leave_report_page.h"
#include "web/panel/search_bar.h"

#include <cstdlib>
#include <string>

#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/leave_requests.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/main_page.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/leave/leave_balance_text.h"
#include "web/pages/leave/leave_calendar.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/pages/leave/leave_post_confirmation.h"
#include "web/pages/leave/leave_posting.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"

namespace {

// Up to this many leave types are totalled.
constexpr std::size_t kMaxTotalledTypes = 100;

// The first user in registry order whom the viewer may view; empty for none.
std::string FirstViewableUser(LKXUser& viewer) {
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const std::string email = it.Get().GetEmail();
    if (KXMayViewUser(viewer, email)) return email;
  }
  return "";
}

// Copies what the search bar and the links posted into the session, so the
// bar and the report agree. A year that is not four digits is ignored.
void CopyChoices(LWebletForm& form) {
  const LHashTable& params = form.Params();
  std::string user = params.GetParm("userselect");
  if (user.empty()) user = params.GetParm("seluser");
  if (!user.empty()) form.Session().SetParm("seluser", user);
  const std::string edit = params.GetParm("edit");
  if (!edit.empty()) form.Session().SetParm("edit", edit);
  for (const char* name : {"yearselect", "year"}) {
    const std::string year = params.GetParm(name);
    if (KXIsYearText(year)) {
      form.Session().SetParm("year", year);
      break;
    }
  }
}

}  // namespace

LKXLeaveReportPage::LKXLeaveReportPage(LWebletForm& form, std::vector<std::string> notices)
    : LKXWebPage(form, "leavereportpost", "leavereport.html", "User Leave Report"), notices_(std::move(notices)) {}

namespace {

void AddColumns(LHtmlList& list, bool edit) {
  if (edit) list.AddColumnRawHTML(kLCheckAllTitle, 2, LHtmlList::kAlignRawTitle, false);
  list.AddColumn("Start Date", 13, LHtmlList::kAlignLeft, true);
  list.AddColumn("End Date", 13, LHtmlList::kAlignLeft, true);
  list.AddColumn("Days", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Type", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Reason", 20, LHtmlList::kAlignLeft, true);
  list.AddColumn("Author", 20, LHtmlList::kAlignLeft, true);
  list.AddColumn("Status", 12, LHtmlList::kAlignLeft, true);
}

// The row is this year's record; a leave across the year end says where
// its other record is.
const LKXLeaveRecord& OwnRecord(const LKXLeaveRequest& request, const std::string& year) {
  const LKXLeaveRecord* own = &request.parts.front().record;
  for (const LKXLeavePart& part : request.parts) {
    if (part.year == year) own = &part.record;
  }
  return *own;
}

void AddToTotals(const std::vector<std::string>& types, std::vector<int>& totals, const std::string& type, int days) {
  for (std::size_t t = 0; t < totals.size(); ++t) {
    if (KXSameName(types[t], type)) {
      totals[t] += days;
      return;
    }
  }
}

// A row per leave of the year; the days of the approved (or, without
// approval, of all) leaves are added to `totals`. Returns the row count.
int AddLeaveRows(LHtmlList& list, const std::string& selUser, const std::string& year, bool edit,
                 const std::vector<std::string>& types, std::vector<int>& totals) {
  const bool approvalRequired = KXOrgGetBool(LKXOrg::kLeaveApprovalRequired);
  const LKXHolidayCalendar holidays;
  LKXUserNames authors;
  int number = 0;
  const int yearNumber = std::atoi(year.c_str());
  for (const LKXLeaveRequest& request : KXReadLeaveRequests(selUser, yearNumber, yearNumber)) {
    const LKXLeaveRecord& record = OwnRecord(request, year);
    const int days = CalculateHolidaysTaken(record.start, record.end, holidays);
    if (record.IsApproved() || !approvalRequired) AddToTotals(types, totals, record.type, days);
    LHtmlListRow row;
    if (edit) {
      LAddLeaveEditCells(row, number, record, days, types);
    } else {
      row.AddCellPrintF("%H", record.start);
      row.AddCellPrintF("%H", record.end);
      row.AddCellPrintFWithOrder(days, "%d", days);
      row.AddCellPrintF("%H", record.type);
      row.AddCellPrintF("%H", record.reason);
    }
    row.AddCell(LLeaveAuthorHtml(record.author, authors), record.author);
    row.AddCell(LLeaveStatusHtml(record.status) + LLeaveContinuationHtml(request, year, selUser, edit), "");
    list.AddRow(std::move(row));
    ++number;
  }
  return number;
}

}  // namespace

// The user the report is of: the session's choice, else the first the
// viewer may see; false (with the page's refusal sent) when there is none
// or the viewer may neither edit nor is him.
bool LKXLeaveReportPage::ChooseUser(LKXUser& viewer, LKXUser& user, bool& mayEdit) {
  LWebletForm& form = Form();
  std::string selUser = form.Session().GetParm("seluser");
  if (!KXGetUser(selUser, user)) {
    selUser = FirstViewableUser(viewer);
    if (selUser.empty() || !KXGetUser(selUser, user)) {
      WLSendRaw(form, kLNotAuthorizedText);
      return false;
    }
    form.Session().SetParm("seluser", selUser);
  }
  selUser = user.GetEmail();
  mayEdit = KXMayEditLeaveOf(viewer, selUser);
  if (!mayEdit && !KXSameName(viewer.GetEmail(), selUser)) {
    WLSendRaw(form, kLNoAuthorityText);
    return false;
  }
  return true;
}

void LKXLeaveReportPage::WriteTotals(LKXUser& viewer, LKXUser& user, const std::string& year,
                                     const std::vector<std::string>& types, const std::vector<int>& totals) {
  LWebletForm& form = Form();
  WLSendRaw(form, "<br><table border=0>");
  for (std::size_t t = 0; t < totals.size(); ++t) {
    wfformat(form, "<tr><td><b>%H:</b>&nbsp;</td><td><b>%d</b></td></tr>", types[t], totals[t]);
  }
  WLSendRaw(form, "</table>");
  const int yearNumber = std::atoi(year.c_str());
  const LKXLeaveBalance balance = KXLeaveBalance(user, yearNumber);
  if (balance.kept) wfformat(form, "<p id=leavebalance><b>%H</b></p>", KXLeaveBalanceLine(balance, yearNumber));
  if (KXSameName(viewer.GetEmail(), user.GetEmail())) WriteFeedSection(viewer);
  AddJScriptFunction("window.onload=function(){initSearchBar();initTable(\"110\");}");
}

void LKXLeaveReportPage::WriteEditButtons(int rows, const std::string& selUser, const std::string& year) {
  LWebletForm& form = Form();
  AddInputHidden("count", rows);
  AddInputHidden("year", year);
  AddInputHidden("seluser", selUser);
  LAddLeaveTickScript(*this);
  wfformat(form,
           "<p align=center><input type=button value=\"Add New Item\" "
           "onclick=\"window.location.href='leaveform?edit=%s&amp;seluser=%U&amp;year=%s&amp;onok=leavereport&amp;"
           "oncancel=leavereport'\" style=\"font-family: Arial,sans-serif; font-size: 10pt;\"></p>",
           "true", selUser, year);
  WLWriteLeaveButtons(form);
  AddJScriptFunction("window.onload=function(){validate();initSearchBar();initTable(\"110\");}");
}

void LKXLeaveReportPage::Generate() {
  LWebletForm& form = Form();
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) {
    WLWriteLeaveDisabled(form);
    return;
  }
  const std::string year = LLeaveYearOr(form.Session().GetParm("year"));
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kLNoCurrentUserText);
    return;
  }
  // What a post refused is said first, whatever the page shows after it.
  WLWriteLeaveNotices(form, notices_);
  LKXUser user;
  bool mayEdit = false;
  if (!ChooseUser(viewer, user, mayEdit)) return;
  const std::string selUser = user.GetEmail();
  const bool edit = mayEdit && std::string(form.Session().GetParm("edit")) == "true";
  KXAddSearchBar(*this, true, false, false, false, mayEdit, true, true);

  LHtmlList list(form,
                 LHtmlFormatChecked("leavereport?seluser=%U&year=%s&edit=%s", selUser, year,
                                    edit ? "true" : "false"),
                 edit ? 1 : 0, true);
  AddColumns(list, edit);
  const std::vector<std::string> types = KXGetLeaveTypeNames();
  std::vector<int> totals(std::min(types.size(), kMaxTotalledTypes), 0);
  const int rows = AddLeaveRows(list, selUser, year, edit, types, totals);
  WLSendRaw(form, kLSortTableScript);
  list.Write(form, 100, kLLeaveTableId);
  if (edit) {
    WriteEditButtons(rows, selUser, year);
  } else {
    WriteTotals(viewer, user, year, types, totals);
  }
}

void LKXLeaveReportPage::WriteFeedSection(LKXUser& viewer) {
  LWebletForm& form = Form();
  constexpr char kStyle[] = "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"";
  const std::string token = KXLeaveCalendarToken(viewer);
  WLSendRaw(form, "<h3>My leave calendar</h3>");
  if (token.empty()) {
    WLSendRaw(form, "<p>Calendar programs can show the approved leave you may see. Create an address for them.</p>");
    wfformat(form, "<p><input type=submit name=submit value=\"%s\" %s></p>", kLCreateFeedLabel, kStyle);
    return;
  }
  // The token is a logon of its own for calendar programs: whoever holds
  // the address sees the leave, so it can be replaced or revoked here. A
  // calendar program needs the whole address, so it is shown as the
  // browser reached this page.
  const std::string address = KXLeaveCalendarAddress(form, token);
  wfformat(form,
           "<p>Calendar address: <input type=text id=leavecalendarurl readonly size=80 value=\"%H\" %s>&nbsp;"
           "<input type=button id=copycalendar value=\"Copy\" onclick=\"copyCalendarAddress()\" %s>&nbsp;"
           "<span id=calendarcopied></span> <a id=leavecalendar href=\"%s?token=%U\">Open</a></p>"
           "<p><input type=submit name=submit id=replacecalendar value=\"%s\" "
           "onclick=\"return confirmReplaceCalendar()\" %s>&nbsp;<input type=submit name=submit value=\"%s\" %s></p>",
           address, kStyle, kStyle, kLLeaveCalendarPath, token, kLReplaceFeedLabel, kStyle, kLRevokeFeedLabel,
           kStyle);
  AddJScriptFunction(
      "function copyCalendarAddress(){var f=document.getElementById(\"leavecalendarurl\"),"
      "said=document.getElementById(\"calendarcopied\");f.focus();f.select();"
      "function old(){try{document.execCommand(\"copy\");said.innerHTML=\"Copied\";}catch(e){}}"
      "if(navigator.clipboard&&navigator.clipboard.writeText){navigator.clipboard.writeText(f.value)"
      ".then(function(){said.innerHTML=\"Copied\";},old);}else{old();}}\r\n"
      "function confirmReplaceCalendar(){return confirm(\"Existing subscriptions will stop working. "
      "Replace the calendar address?\");}\r\n");
}

void WLLeaveReport(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  CopyChoices(form);
  LKXLeaveReportPage(form).Open();
}

void WLLeaveReportPost(LWebletForm& form) {
  const std::string submit = form.Params().GetParm("submit");
  if (submit == kLDiscardLabel) {
    WLMainPage(form);
    return;
  }
  CopyChoices(form);
  std::vector<std::string> notices;
  LKXUser actor;
  const bool haveActor = KXGetCurrentUser(form, actor) && KXOrgGetBool(LKXOrg::kModeLeave);
  LKXLeaveAction action = LKXLeaveAction::kApply;
  if (haveActor && LKXLeaveActionOf(submit, action)) {
    std::string user = form.Params().GetParm("seluser");
    if (user.empty()) user = form.Session().GetParm("seluser");
    notices = WLPostLeaveChangesConfirmed(form, actor, action, LKXLeavePostSource::kLeaveReport, user);
  } else if (haveActor && (submit == kLCreateFeedLabel || submit == kLReplaceFeedLabel)) {
    // A new address replaces the old one, so a leaked address is revoked
    // by asking for a new one as well.
    if (!KXCreateLeaveCalendarToken(actor)) notices.push_back("The calendar address could not be created.");
  } else if (haveActor && submit == kLRevokeFeedLabel) {
    KXRevokeLeaveCalendarToken(actor);
  }
  LKXLeaveReportPage(form, std::move(notices)).Open();
}
