#include "web/pages/org/org_add_pages.h"

#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/org/org_list_pages.h"
#include "web/panel/access_rules.h"

namespace {

constexpr int kNameId = 101;
constexpr int kCountsId = 102;
constexpr int kStartId = 101;
constexpr int kEndId = 102;
constexpr int kCommentId = 103;

// Letters (bytes of UTF-8 sequences count as letters), digits, "-", "."
// and "_", and the space where `space` allows it: what the page's key
// filter lets through.
bool IsNameText(std::string_view name, bool space) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool ok = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                    byte >= 0x80 || c == '-' || c == '.' || c == '_' || (space && c == ' ');
    if (!ok) return false;
  }
  return true;
}

// The key filter: letters, digits, "-", ".", "_" (and the space where
// allowed), backspace and the arrow keys.
std::string InputMaskScript(bool space) {
  return std::string(
             "function inputmask(e){var k=e.which||e.keyCode;if(k==8||(k>=37&&k<=40)||e.ctrlKey||e.metaKey)return "
             "true;var c=String.fromCharCode(k);return /^[A-Za-z0-9._") +
         (space ? " " : "") + "-]$/.test(c)||k>127;}\r\n" +
         "window.onload=function(){var f=document.getElementsByName(\"101\")[0];if(f)f.onkeypress=inputmask;}\r\n";
}

}  // namespace

// The list's view gives the dialog its title (the list's add button) and
// the page it returns to.
struct LKXAddNameView {
  const LKXRegistryListView& list;
  const char* helpTopic;
  const char* inputLabel;
  bool space;               // whether a name may hold spaces
  const char* hint;         // under the name field; nullptr for none
  bool countsBox;           // the leave type's "Counts against allowance"
  const char* emptyMessage;
  const char* badCharsMessage;
  const char* existsMessage;
  bool (*add)(std::string_view name);
};

namespace {

const LKXAddNameView kTeamAddView = {kKXTeamListView, "team", "Team Name: ", false, kLTeamNameHint, false,
                                     kLTeamEmpty, kLTeamBadChars, kLTeamExists, KXAddTeam};
const LKXAddNameView kLeaveTypeAddView = {kKXLeaveTypeListView, "leavetype", "Leave Type Name: ", true, nullptr, true,
                                          kLLeaveTypeEmpty, kLLeaveTypeBadChars, kLLeaveTypeExists, KXAddLeaveType};

}  // namespace

LKXAddNamePage::LKXAddNamePage(LWebletForm& form, const LKXAddNameView& view)
    : LKXWebDialog(form, view.helpTopic, view.list.addLabel, 0), view_(view) {}

void LKXAddNamePage::Generate() {
  AddInput(kNameId, view_.inputLabel, 24);
  if (view_.hint != nullptr) AddStatic(view_.hint);
  if (view_.countsBox) AddCheckBox(kCountsId, kLCountsAgainstAllowance);
  AddJScript(InputMaskScript(view_.space));
}

bool LKXAddNamePage::CmOk() {
  std::string name;
  GetTextAndTrim(kNameId, name);
  if (name.empty()) {
    PopupControlDataInvalid(kNameId, view_.emptyMessage);
    return false;
  }
  if (!IsNameText(name, view_.space)) {
    PopupControlDataInvalid(kNameId, view_.badCharsMessage);
    return false;
  }
  if (!view_.add(name)) {
    PopupControlDataInvalid(kNameId, view_.existsMessage);
    return false;
  }
  // Written either way, so that a new type called "holiday" says what it was given.
  if (view_.countsBox) (void)KXSetLeaveTypeCounts(name, GetCheck(kCountsId));
  return true;
}

LKXAddTeamPage::LKXAddTeamPage(LWebletForm& form) : LKXAddNamePage(form, kTeamAddView) {}
LKXAddLeaveTypePage::LKXAddLeaveTypePage(LWebletForm& form) : LKXAddNamePage(form, kLeaveTypeAddView) {}

LKXAddHolidayPage::LKXAddHolidayPage(LWebletForm& form) : LKXWebDialog(form, "holiday", "Add Public Holiday", 0) {}

void LKXAddHolidayPage::InitDialog() {
  const std::string today = LDateTime::Now().GetDateText();
  SetText(kStartId, today);
  SetText(kEndId, today);
}

void LKXAddHolidayPage::Generate() {
  AddDateInput(kStartId, "Start Date: ", 15);
  AddDateInput(kEndId, "End Date: ", 15);
  AddInput(kCommentId, "Comment", 25);
}

bool LKXAddHolidayPage::CmOk() {
  std::string start, end, comment;
  GetTextAndTrim(kStartId, start);
  GetTextAndTrim(kEndId, end);
  GetText(kCommentId, comment);
  // Exactly "YYYY-MM-DD" naming a real day: the dates are the records' keys
  // and are compared as text when a holiday is deleted.
  if (!KXIsDateText(start)) {
    PopupControlDataInvalid(kStartId, kLHolidayBadDate);
    return false;
  }
  if (!KXIsDateText(end)) {
    PopupControlDataInvalid(kEndId, kLHolidayBadDate);
    return false;
  }
  if (end < start) {
    PopupControlDataInvalid(kEndId, kLHolidayEndBeforeStart);
    return false;
  }
  if (comment.find_first_of("\r\n") != std::string::npos) {
    PopupControlDataInvalid(kCommentId, kLHolidayCommentOneLine);
    return false;
  }
  if (!KXAddPublicHoliday(start, end, comment)) {
    PopupControlDataInvalid(kStartId, kLHolidayExists);
    return false;
  }
  return true;
}

void WLAddTeamPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, kKXTeamListView.page, kKXTeamListView.page);
  LKXAddTeamPage(form).Run();
}

void WLAddLeaveTypePage(LWebletForm& form) {
  WLDefaultDialogTargets(form, kKXLeaveTypeListView.page, kKXLeaveTypeListView.page);
  LKXAddLeaveTypePage(form).Run();
}

void WLAddHolidayPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "holidaylist", "holidaylist");
  LKXAddHolidayPage(form).Run();
}
