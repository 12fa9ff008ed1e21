#include "web/pages/leave/pending_leave_page.h"

#include <cstdlib>
#include <string>

#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/leave_requests.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/main_page.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/leave/leave_balance_text.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/pages/leave/leave_post_confirmation.h"
#include "web/pages/leave/leave_posting.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"

namespace {

// The balance of each year the request falls in, as it will be once the
// request is approved; "&nbsp;" when no allowance is kept. Several requests
// of one user each show the balance as if only they were approved.
std::string BalanceAfterApprovalHtml(LKXUser& user, const LKXLeaveRequest& request,
                                     const LKXLeaveCounting& counting) {
  std::string html;
  for (const LKXLeavePart& part : request.parts) {
    const int year = std::atoi(part.year.c_str());
    const LKXLeaveBalance balance = KXLeaveBalance(user, year, counting);
    if (!balance.kept) continue;
    const LKXLeaveRecord& record = part.record;
    // Counted already when approved; a type that does not count takes none.
    const bool adds = !counting.Taken(record) && counting.Counts(record.type);
    const int takes = adds ? counting.DaysInYear(record.start, record.end, year) : 0;
    const bool over = balance.Left() - takes < 0 && takes > 0;
    if (!html.empty()) html += "<br>";
    html += LHtmlFormatChecked(over ? "<span class=kxoverrun><font color=#a00000>%H</font></span>" : "%H",
                               KXLeaveAfterApprovalText(balance, year, takes));
  }
  return html.empty() ? "&nbsp;" : html;
}

void AddColumns(LHtmlList& list) {
  list.AddColumnRawHTML(kLCheckAllTitle, 2, LHtmlList::kAlignRawTitle, false);
  list.AddColumn("Name", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Start Date", 13, LHtmlList::kAlignLeft, true);
  list.AddColumn("End Date", 13, LHtmlList::kAlignLeft, true);
  list.AddColumn("Days", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Type", 10, LHtmlList::kAlignLeft, true);
  list.AddColumn("Reason", 15, LHtmlList::kAlignLeft, true);
  list.AddColumn("Author", 15, LHtmlList::kAlignLeft, true);
  list.AddColumn("Status", 12, LHtmlList::kAlignLeft, true);
  list.AddColumn("Balance after approval", 20, LHtmlList::kAlignLeft, false);
}

// What the rows of one page share.
struct RowContext {
  const std::vector<std::string>& types;
  const LKXLeaveCounting& counting;
  LKXUserNames& authors;
};

// One row for the whole request; the post finds its records again from the
// first day, the last day and the year of the first record.
LHtmlListRow RequestRow(LKXUser& user, const LKXLeaveRequest& request, int number, RowContext& context) {
  const std::string email = user.GetEmail();
  const std::string name = user.GetName();
  LKXLeaveRecord whole = request.parts.front().record;
  whole.end = request.End();
  std::string author;
  for (const LKXLeavePart& part : request.parts) {
    if (!part.record.author.empty()) author = part.record.author;
  }
  LHtmlListRow row;
  LAddLeaveEditCells(row, number, whole, LLeaveRequestDays(request, context.counting.Holidays()), context.types);
  // The name goes second, after the check box.
  LHtmlListRow ordered;
  const auto& cells = row.Cells();
  ordered.AddCell(cells[0].html, cells[0].key);
  ordered.AddCellPrintFWithOrder(name, "%H<input type=hidden name=inputuser%d value=\"%H\">", name, number, email);
  for (std::size_t c = 1; c < cells.size(); ++c) {
    ordered.AddCell(c == 2 ? cells[c].html + LLeaveRequestPartsHtml(request) : cells[c].html, cells[c].key);
  }
  ordered.AddCell(LLeaveAuthorHtml(author, context.authors), author);
  ordered.AddCell(LHtmlFormatChecked("%s<input type=hidden name=inputyear%d value=\"%H\">",
                                     LLeaveStatusHtml(request.Status()), number, request.parts.front().year),
                  "");
  ordered.AddCell(BalanceAfterApprovalHtml(user, request, context.counting), "");
  return ordered;
}

// The pending requests of the users `viewer` manages; returns the row count.
int AddPendingRows(LHtmlList& list, LKXUser& viewer, int firstYear) {
  const std::vector<std::string> types = KXGetLeaveTypeNames();
  const LKXLeaveCounting counting;
  LKXUserNames authors;
  RowContext context{types, counting, authors};
  const std::string viewerEmail = viewer.GetEmail();
  int number = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    // Only a manager approves: administrator and HR rights do not widen
    // this list.
    if (!KXCommaListContains(user.GetText(kKXUserManager), viewerEmail)) continue;
    for (const LKXLeaveRequest& request : KXReadLeaveRequests(user.GetEmail(), firstYear, firstYear + 1)) {
      if (!request.IsPending()) continue;
      list.AddRow(RequestRow(user, request, number, context));
      ++number;
    }
  }
  return number;
}

}  // namespace

LKXPendingLeaveRequestsPage::LKXPendingLeaveRequestsPage(LWebletForm& form, std::vector<std::string> notices)
    : LKXWebPage(form, "pendingleaverequestspost", "pendingleaverequests.html", "Pending Leave Requests"),
      notices_(std::move(notices)) {}

void LKXPendingLeaveRequestsPage::Generate() {
  LWebletForm& form = Form();
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) {
    WLWriteLeaveDisabled(form);
    return;
  }
  // This year's requests and next year's: leave for January is applied for
  // in December, and a leave across the year end has a record in each.
  const std::string year = KXCurrentYearText();
  const int firstYear = std::atoi(year.c_str());
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kLNoCurrentUserText);
    return;
  }
  WLWriteLeaveNotices(form, notices_);
  // The column titles re-sort this page itself: the table's rows only
  // exist here.
  LHtmlList list(form, "pendingleaverequests", 1, true);
  AddColumns(list);
  const int number = AddPendingRows(list, viewer, firstYear);
  WLSendRaw(form, kLSortTableScript);
  list.Write(form, 100, kLLeaveTableId);
  AddInputHidden("count", number);
  AddInputHidden("year", year);
  LAddLeaveTickScript(*this);
  WLWriteLeaveButtons(form);
  AddJScriptFunction("window.onload=function(){validate();initTable(\"110\");}");
}

void WLPendingLeaveRequests(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXPendingLeaveRequestsPage(form).Open();
}

void WLPendingLeaveRequestsPost(LWebletForm& form) {
  const std::string submit = form.Params().GetParm("submit");
  if (submit == kLDiscardLabel) {
    WLMainPage(form);
    return;
  }
  std::vector<std::string> notices;
  LKXLeaveAction action = LKXLeaveAction::kApply;
  LKXUser actor;
  if (LKXLeaveActionOf(submit, action) && KXGetCurrentUser(form, actor) && KXOrgGetBool(LKXOrg::kModeLeave)) {
    notices = WLPostLeaveChangesConfirmed(form, actor, action, LKXLeavePostSource::kPendingPage, "");
  }
  LKXPendingLeaveRequestsPage(form, std::move(notices)).Open();
}
