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

LKXAddTeamPage::LKXAddTeamPage(LWebletForm& form) : LKXWebDialog(form, "team", "Add New Team", 0) {}

void LKXAddTeamPage::Generate() {
  AddInput(kNameId, "Team Name: ", 24);
  AddStatic(kLTeamNameHint);
  AddJScript(InputMaskScript(false));
}

bool LKXAddTeamPage::CmOk() {
  std::string name;
  GetTextAndTrim(kNameId, name);
  if (name.empty()) {
    PopupControlDataInvalid(kNameId, kLTeamEmpty);
    return false;
  }
  if (!IsNameText(name, false)) {
    PopupControlDataInvalid(kNameId, kLTeamBadChars);
    return false;
  }
  if (!KXAddTeam(name)) {
    PopupControlDataInvalid(kNameId, kLTeamExists);
    return false;
  }
  return true;
}

LKXAddLeaveTypePage::LKXAddLeaveTypePage(LWebletForm& form)
    : LKXWebDialog(form, "leavetype", "Add New Leave Type", 0) {}

void LKXAddLeaveTypePage::Generate() {
  AddInput(kNameId, "Leave Type Name: ", 24);
  AddCheckBox(kCountsId, kLCountsAgainstAllowance);
  AddJScript(InputMaskScript(true));
}

bool LKXAddLeaveTypePage::CmOk() {
  std::string name;
  GetTextAndTrim(kNameId, name);
  if (name.empty()) {
    PopupControlDataInvalid(kNameId, kLLeaveTypeEmpty);
    return false;
  }
  if (!IsNameText(name, true)) {
    PopupControlDataInvalid(kNameId, kLLeaveTypeBadChars);
    return false;
  }
  if (!KXAddLeaveType(name)) {
    PopupControlDataInvalid(kNameId, kLLeaveTypeExists);
    return false;
  }
  // Written either way, so that a new type called "holiday" says what it was given.
  (void)KXSetLeaveTypeCounts(name, GetCheck(kCountsId));
  return true;
}

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
  WLDefaultDialogTargets(form, "teamlist", "teamlist");
  LKXAddTeamPage(form).Run();
}

void WLAddLeaveTypePage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "leavetypelist", "leavetypelist");
  LKXAddLeaveTypePage(form).Run();
}

void WLAddHolidayPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "holidaylist", "holidaylist");
  LKXAddHolidayPage(form).Run();
}
