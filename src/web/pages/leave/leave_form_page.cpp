#include "web/pages/leave/leave_form_page.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "foundation/log.h"
#include "foundation/text_limits.h"
#include "maintenance/maintenance_wake.h"
#include "model/core_data.h"
#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/common/entry_confirmations.h"
#include "web/pages/leave/leave_balance_text.h"
#include "web/pages/leave/leave_form_balance.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/panel/confirmation_line.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kUserId = 101;
constexpr int kNameId = 102;
constexpr int kTypeId = 103;
constexpr int kFromId = 104;
constexpr int kToId = 105;
constexpr int kCommentsId = 106;
constexpr int kReceiverId = 107;
constexpr int kCallTypeIndex = 1;  // "sick" among the default types
constexpr char kTitle[] = "Leave Form";

// The form offers the colleagues of the same "Team" value, compared as a
// whole, letter case ignored.
bool SharesTeam(const std::string& teams, const std::string& mine) {
  return KXSameName(teams, mine);
}

// The first record of `user`'s log of `year` that the days `from`..`to`
// touch, whatever its status.
bool FindOverlap(const std::string& user, const std::string& year, const std::string& from,
                 const std::string& to, LKXLeaveRecord& found) {
  for (const LKXLeaveRecord& record : KXReadLeaveLog(user, year)) {
    if (from <= record.end && to >= record.start) {
      found = record;
      return true;
    }
  }
  return false;
}

// The index of a posted pull-down value "<index>$<text>".
int PostedIndex(const std::string& value) {
  if (value.empty() || value[0] < '0' || value[0] > '9') return -1;
  long index = 0;
  for (char c : value) {
    if (c < '0' || c > '9') break;
    index = index * 10 + (c - '0');
    if (index > 1000000) return -1;
  }
  return static_cast<int>(index);
}

// What the applicant is told after OK when the request takes more days
// than are left; empty when it does not, or no allowance is kept.
std::string OverrunNote(const std::string& userEmail, const std::string& from, const std::string& to,
                        const std::string& type) {
  LKXUser user;
  if (!KXGetUser(userEmail, user)) return "";
  const LKXLeaveCounting counting;
  if (!counting.Counts(type)) return "";
  std::string note;
  for (int year = std::atoi(from.substr(0, 4).c_str()); year <= std::atoi(to.substr(0, 4).c_str()); ++year) {
    note += KXLeaveOverrunNote(KXLeaveBalance(user, year, counting), year, counting.DaysInYear(from, to, year));
  }
  return note;
}

void WakeMaintenance() {
  KXWakeMaintenance();
}

}  // namespace

LKXLeaveFormPage::LKXLeaveFormPage(LWebletForm& form)
    : LKXWebDialog(form, "leaveform", kTitle, 0), types_(KXGetLeaveTypeNames()) {
  callMode_ = KXSameName(form.Params().GetParm("leavecall"), "true");
}

bool LKXLeaveFormPage::Authenticate() {
  const std::string_view seluser = callMode_ ? "" : Form().Params().GetParm("seluser");
  if (!WLChooseEntryOwner(Form(), seluser, kLNoAuthorityText, owner_)) return false;
  SetTitle(KXEntryOwnerTitle(kTitle, owner_));
  return true;
}

std::vector<LKXLeaveFormPage::Offered> LKXLeaveFormPage::OfferedUsers(LKXUser& viewer) const {
  std::vector<Offered> users;
  const std::string myEmail = viewer.GetEmail();
  const std::string myTeam = viewer.GetText(kKXUserTeam);
  const bool everyone = viewer.IsAdministrator() || viewer.IsAccountant();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string email = user.GetEmail();
    if (everyone || KXIsManagerOf(viewer, email) || SharesTeam(user.GetText(kKXUserTeam), myTeam)) {
      users.push_back({email, user.GetName()});
    }
  }
  return users;
}

void LKXLeaveFormPage::WriteUserSelect(const std::vector<Offered>& users) {
  StartRow(kUserId, 0);
  wfformat(Form(), "%H</td><td><select name=%d title=\"Select a user\">", "Name: ", kUserId);
  const std::string current = GetControlValue(kUserId);
  for (const Offered& user : users) {
    wfformat(Form(), "<option value=\"%H\"%s>%H</option>", user.email,
             KXSameName(user.email, current) ? " selected" : "", user.name);
  }
  WLSendRaw(Form(), "</select></td></tr>");
}

void LKXLeaveFormPage::Generate() {
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) {
    AddStatic(kLLeaveDisabledText);
    return;
  }
  LKXUser viewer;
  if (!KXGetCurrentUser(Form(), viewer)) {
    AddStatic(kLNoCurrentUserText);
    return;
  }
  WLSendRaw(Form(), "<script type=\"text/javascript\" language=\"javascript\" src=\"datepicker.js\"></script>");
  AddStatic(kLLeaveFormPrompt);
  if (callMode_) {
    WriteUserSelect(OfferedUsers(viewer));
  } else {
    // Shown from the record, never from what was posted: the user is the
    // one the dialog checked.
    SetText(kUserId, owner_.email);
    SetText(kNameId, owner_.name);
    AddInputReadOnly(kUserId, "Email: ", 24);
    AddInputReadOnly(kNameId, "Name: ", 24);
    if (owner_.other) AddHiddenField("seluser", owner_.email);
  }
  AddPullDownList(kTypeId, "Type of Leave: ", types_);
  AddDateInput(kFromId, "From Date: ", 15);
  AddDateInput(kToId, "To Date: ", 15);
  AddInput(kCommentsId, "Comments: ", 35);
  if (!callMode_) WriteBalance();
  if (callMode_) {
    SetText(kReceiverId, viewer.GetEmail());
    AddInputReadOnly(kReceiverId, "Call Receiver:", 24);
    AddHiddenField("leavecall", "true");
  }
  AddStatic(kLLeaveFormNotice);
}

void LKXLeaveFormPage::WriteBalance() {
  LKXUser owner;
  if (!KXGetUser(owner_.email, owner)) return;
  const LKXLeaveCounting counting;
  std::vector<bool> counts;
  for (const std::string& type : types_) counts.push_back(counting.Counts(type));
  std::string from, to;
  GetTextAndTrim(kFromId, from);
  GetTextAndTrim(kToId, to);
  WLWriteLeaveFormBalance(Form(), owner, from, to, std::max(0, PostedIndex(GetControlValue(kTypeId))), counts,
                          kTypeId, kFromId, kToId);
}

void LKXLeaveFormPage::InitDialog() {
  const std::string today = LDateTime::Now().GetDateText();
  SetText(kFromId, today);
  SetText(kToId, today);
  if (callMode_) {
    std::string me;
    if (KXGetCurrentUserEmail(Form(), me)) SetText(kReceiverId, me);
    SetInt(kTypeId, kCallTypeIndex);
  }
}

bool LKXLeaveFormPage::CheckDates(const std::string& user, const std::string& from, const std::string& to) {
  LDateTime fromDay, toDay;
  if (!KXIsDateText(from) || !fromDay.SetDateTime(from, "00:00:00")) {
    PopupControlDataInvalid(kFromId, kLLeaveDateInvalid);
    return false;
  }
  if (!KXIsDateText(to) || !toDay.SetDateTime(to, "00:00:00")) {
    PopupControlDataInvalid(kToId, kLLeaveDateInvalid);
    return false;
  }
  if (toDay < fromDay) {
    PopupControlDataInvalid(kFromId, kLLeaveDateOrder);
    return false;
  }
  if (static_cast<long long>(toDay.value) - fromDay.value > kLMaxLeaveSeconds) {
    PopupControlDataInvalid(kFromId, kLLeaveTooLong);
    return false;
  }
  const std::string fromYear = from.substr(0, 4);
  const std::string toYear = to.substr(0, 4);
  LKXLeaveRecord found;
  bool overlaps;
  if (fromYear == toYear) {
    overlaps = FindOverlap(user, fromYear, from, to, found);
  } else {
    overlaps = FindOverlap(user, fromYear, from, fromYear + "-12-31", found) ||
               FindOverlap(user, toYear, toYear + "-01-01", to, found);
  }
  if (overlaps) {
    PopupControlDataInvalid(kFromId, "Overlaps with existing record " + found.start + " ~ " + found.end +
                                         ", please reenter.");
    return false;
  }
  return true;
}

bool LKXLeaveFormPage::CmOk() {
  if (!KXOrgGetBool(LKXOrg::kModeLeave)) return false;
  LKXUser viewer;
  if (!KXGetCurrentUser(Form(), viewer)) return false;
  const std::string viewerEmail = viewer.GetEmail();
  std::string userEmail = owner_.other ? owner_.email : viewerEmail;
  if (callMode_) {
    std::string chosen;
    GetTextAndTrim(kUserId, chosen);
    bool offered = false;
    for (const Offered& user : OfferedUsers(viewer)) {
      if (KXSameName(user.email, chosen)) {
        userEmail = user.email;
        offered = true;
        break;
      }
    }
    if (!offered) {
      PopupControlDataInvalid(kUserId, kLLeaveUserNotOffered);
      return false;
    }
  }
  std::string from, to, comments;
  GetTextAndTrim(kFromId, from);
  GetTextAndTrim(kToId, to);
  GetText(kCommentsId, comments);
  if (!CheckDates(userEmail, from, to)) return false;
  const int typeIndex = PostedIndex(GetControlValue(kTypeId));
  if (typeIndex < 0 || typeIndex >= static_cast<int>(types_.size())) {
    PopupControlDataInvalid(kTypeId, types_.empty() ? kLLeaveNoTypes : kLLeaveTypeInvalid);
    return false;
  }
  LDateTime fromDay, toDay;
  static_cast<void>(fromDay.SetDateTime(from, "00:00:00"));
  static_cast<void>(toDay.SetDateTime(to, "00:00:00"));
  // Whoever records leave for someone else is its author.
  const std::string type = types_[static_cast<std::size_t>(typeIndex)];
  const std::string overrun = OverrunNote(userEmail, from, to, type);
  LKXCoreData::LogLeaveEntry(userEmail, fromDay, toDay, types_[static_cast<std::size_t>(typeIndex)], comments,
                             callMode_ || owner_.other ? viewerEmail : "");
  LKXUser user;
  if (!KXGetUser(userEmail, user)) {
    PopupControlDataInvalid(kUserId, kLLeaveNoSelectedUser);
    return false;
  }
  KXRaiseLeaveNotice(user, LKXLeaveNotice::kApplication, {from, to, types_[static_cast<std::size_t>(typeIndex)]}, "");
  WakeMaintenance();
  const std::string sessionPrefix = LCutText(Form().Session().Id(), kLLoggedSessionPrefix);
  LOG("User " + userEmail + " just submitted a leave form" + KXEnteredByNote(owner_) + " (sess " + sessionPrefix +
      "...)");
  WLSetConfirmation(Form(), KXLeaveSentText(user, KXSameName(userEmail, viewerEmail), from, to) + overrun);
  return true;
}

void WLLeaveForm(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXLeaveFormPage(form).Run();
}
