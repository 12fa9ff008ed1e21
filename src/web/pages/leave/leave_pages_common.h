#pragma once
// What the leave form, the pending-requests page and the leave report share:
// their fixed texts, who may see and change whose leave, and the editable
// cells and buttons of the two tables.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/leave_log.h"
#include "model/leave_notices.h"
#include "model/leave_requests.h"
#include "model/registry_text.h"
#include "model/user.h"

class LWebletForm;
class LHtmlListRow;
class LKXWebPage;

inline constexpr char kLLeaveDisabledText[] =
    "User Leave Management Module is disabled. Please contact your system administrator to enable it.";
inline constexpr char kLNoCurrentUserText[] = "Can't find current user!";
inline constexpr char kLNotAuthorizedText[] = "You are not authorized to see this page!";
inline constexpr char kLNoAuthorityText[] = "You do not have the authority to access this page!";
inline constexpr char kLDeleteLabel[] = "Delete Selected Items";
inline constexpr char kLDiscardLabel[] = "Discard Changes";
inline constexpr char kLApplyLabel[] = "Apply Changes";
inline constexpr char kLApproveLabel[] = "Approve";
inline constexpr char kLDisapproveLabel[] = "Disapprove";
// The id of the table that initTable (sorttable.js) makes re-sortable.
inline constexpr int kLLeaveTableId = 110;
// Every leave page that calls initTable loads the script that defines it.
inline constexpr char kLSortTableScript[] =
    "<script type=\"text/javascript\" language=\"javascript\" src=\"sorttable.js\"></script>";

// The rule of the report pages: the viewer manages the user, is the user,
// or has "AccessAdmin" or "AccessHR".
bool KXMayViewUser(LKXUser& viewer, std::string_view email);
// Who may change a user's leave on the leave report: "AccessAdmin",
// "AccessHR" or the user's manager; never the user himself for that reason.
bool KXMayEditLeaveOf(LKXUser& viewer, std::string_view email);

// The year of a report: `year` when it is four digits, else this year.
std::string LLeaveYearOr(std::string_view year);

// The disabled text with a "  Go Back  " button, written in place of a page.
void WLWriteLeaveDisabled(LWebletForm& form);

// The names of the registered users by address (letter case ignored), read
// from the registry once, on first use: a table of a few hundred records
// names the same few authors over and over.
class LKXUserNames {
 public:
  // The name of the user with that address; false when there is none.
  bool Find(std::string_view email, std::string& name);

 private:
  bool loaded_ = false;
  std::vector<std::pair<std::string, std::string>> names_;  // lower-case address, name; sorted
};

// "Pending", "Approved" or "Disapproved" in <small>.
const char* LLeaveStatusHtml(int status);
// The author's name when the author is a registered user, else the stored
// text, HTML-escaped; "&nbsp;" without an author.
std::string LLeaveAuthorHtml(const std::string& author, LKXUserNames& names);

// The select "selecttype%d" of every leave type (value: its index) with the
// record's type selected. A type that has been removed since the record was
// written is offered last with the value -1, selected, so that posting the
// row unchanged keeps it.
std::string LLeaveTypeSelectHtml(int row, const std::vector<std::string>& types, std::string_view current);

// The editable cells that both tables share: the check box, the dates with
// their hidden copies, the days, the type and the reason.
void LAddLeaveEditCells(LHtmlListRow& row, int number, const LKXLeaveRecord& record, int days,
                        const std::vector<std::string>& types);

// The tick script (validate() enables the row buttons while a row is
// ticked; checkAll() ticks or clears every row), then the button rows.
void LAddLeaveTickScript(LKXWebPage& page);
void WLWriteLeaveButtons(LWebletForm& form);
// The leave days of every record of the request.
int LLeaveRequestDays(const LKXLeaveRequest& request, const LKXHolidayCalendar& holidays);
// Under a leave across the year end on the pending page: the two records it
// is stored as, e.g. "<br><small>2026-12-29 ~ 2026-12-31 (2026) and
// 2027-01-01 ~ 2027-01-05 (2027)</small>"; empty for one record.
std::string LLeaveRequestPartsHtml(const LKXLeaveRequest& request);
// On the leave report of `year`: where the request of that year's record
// continues ("Continues in 2027 until 2027-01-05") or began ("Began in 2026
// on 2026-12-29"), the year a link to that year's report, with the other
// record's status; empty for a request of one record.
std::string LLeaveContinuationHtml(const LKXLeaveRequest& request, const std::string& year,
                                   const std::string& user, bool edit);

// The raw title of the select-all column.
inline constexpr char kLCheckAllTitle[] = "<input type=checkbox name=checkall onclick=checkAll(this)>";
