#include "web/pages/users/user_detail_page.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mail/email_address.h"
#include "maintenance/maintenance_wake.h"
#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/new_user.h"
#include "model/org_settings.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "model/user_roles.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/api_token_section.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/users/user_detail_keep.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kNewUserHours = 40;
constexpr int kMaxWeekHours = 168;
constexpr int kDayBoxes = 7;
constexpr const char* kDayLabels[kDayBoxes] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

constexpr LWebToolTip kToolTips[] = {
    {kKXDetailEmail, "User email address"},
    {kKXDetailName, "User display name"},
    {kKXDetailTeam, "Which team is this user belong to?"},
    {kKXDetailManagers, "Who is this user's manager?"},
    {kKXDetailAdmin, "Is this user a system administrator?"},
    {kKXDetailAccountant, "Is this user a company accountant?"},
};

void WakeMaintenance() {
  KXWakeMaintenance();
}

// A time of day typed into the form, in the stored form when it is later
// than midnight; empty otherwise (flexible hours).
std::string StoredTime(const std::string& typed) {
  LDayTime time;
  time.SetText(typed);
  return time.value > 0 ? time.GetText() : std::string();
}

int CurrentYear() { return std::atoi(KXCurrentYearText().c_str()); }

int NonNegative(const std::string& text, int limit) {
  const int value = std::atoi(text.c_str());
  if (value < 0) return 0;
  return value > limit ? limit : value;
}

}  // namespace


std::string KXDetailNoTeam(const std::string& team) {
  return "Team: " + team + " doesn't exist. Please reenter or leave it blank.";
}

std::string KXDetailNoManager(const std::string& manager) {
  return "Manager: " + manager + " doesn't exist. Please reenter or leave it blank.";
}

LKXUserDetailPage::LKXUserDetailPage(LWebletForm& form) : LKXWebDialog(form, "userdetails", "", 0) {
  selected_ = KXCleanRegistryText(form.Session().GetParm("seluser"));
  new_ = KXSameName(selected_, "new");
  SetTitle(new_ ? "Add a New User" : "View User Details");
  AddTools(kToolTips, static_cast<int>(std::size(kToolTips)));
  const bool admin = KXIsCurrentUserAdministator(form);
  leaveEditable_ = admin || KXIsCurrentUserAccountant(form);
  if (!new_ && !admin) {
    readOnly_ = true;
    // HR keeps the leave allowances, so its form saves those two fields.
    if (!leaveEditable_) {
      SetOkLabel(" Return ");
      SetCancelLabel("");
    }
  }
}

bool LKXUserDetailPage::Authenticate() {
  LWebletForm& form = Form();
  LKXUser viewer;
  const char* refusal = nullptr;
  if (!KXGetCurrentUser(form, viewer)) {
    refusal = kKXDetailNoCurrentUser;
  } else if (new_) {
    if (!viewer.IsAdministrator()) refusal = kKXDetailOnlyAdminAdds;
  } else if (selected_.empty()) {
    refusal = kKXDetailNoUserSelected;
  } else if (!KXUserExists(selected_)) {
    refusal = kKXDetailNoSuchUser;
  } else if (!viewer.IsAdministrator() && !viewer.IsAccountant() && !KXIsManagerOf(viewer, selected_) &&
             !KXSameName(viewer.GetEmail(), selected_)) {
    refusal = kKXDetailNotAllowed;
  }
  if (refusal == nullptr) return true;
  WLRefusePage(form, refusal);
  return false;
}

void LKXUserDetailPage::InitForNewUser() {
  SetRadioCheck(kKXDetailPermanent, true);
  SetRadioCheck(kKXDetailDefaultHours, true);
  SetInt(kKXDetailCustomHoursInput, kNewUserHours);
  SetRadioCheck(kKXDetailFixedDays, true);
  for (int id = kKXDetailMonday; id < kKXDetailMonday + kDayBoxes; ++id) {
    SetCheck(id, (kKXNewUserWorkDays & KXDetailWorkDayBit(id)) != 0);
  }
  SetCheck(kKXDetailLogScreenShot, true);
  SetCheck(kKXDetailShowDetails, true);
  SetText(kKXDetailTeam, kKXDefaultTeam);
  std::string viewer;
  if (KXGetCurrentUserEmail(Form(), viewer)) SetText(kKXDetailManagers, viewer);
}

void LKXUserDetailPage::InitFromRecord(LKXUser& user) {
  SetText(kKXDetailEmail, user.GetEmail());
  SetText(kKXDetailName, user.GetName());
  SetText(kKXDetailTeam, user.GetText(kKXUserTeam));
  SetText(kKXDetailManagers, user.GetText(kKXUserManager));
  SetCheck(kKXDetailAdmin, user.IsAdministrator());
  SetCheck(kKXDetailAccountant, user.IsAccountant());
  SetCheck(kKXDetailMonitor, user.IsMonitor());
  SetCheck(kKXDetailLogScreenShot, user.GetFlag(kKXUserLogScreenShot));
  SetCheck(kKXDetailShowDetails, user.GetFlag(kKXUserShowDetails));
  const int workType = user.GetNumber(kKXUserWorkType);
  const int hours = user.GetNumber(kKXUserWorkHours);
  SetRadioCheck(workType == kKXWorkTypeCasual ? kKXDetailCasual : kKXDetailPermanent, true);
  // "WorkHours" alone says which: 0 is the organisation's full time,
  // whatever "WorkType" (0 or 1, both permanent) holds.
  SetRadioCheck(hours > 0 ? kKXDetailCustomHours : kKXDetailDefaultHours, true);
  SetInt(kKXDetailCustomHoursInput, hours > 0 ? hours : kNewUserHours);
  const int days = user.GetNumber(kKXUserWorkDays) & 0x7f;
  SetRadioCheck(days != 0 ? kKXDetailFixedDays : kKXDetailFlexibleDays, true);
  for (int id = kKXDetailMonday; id < kKXDetailMonday + kDayBoxes; ++id) {
    SetCheck(id, (days & KXDetailWorkDayBit(id)) != 0);
  }
  SetText(kKXDetailHourStart, user.GetText(kKXUserNormalHourStart));
  SetText(kKXDetailHourEnd, user.GetText(kKXUserNormalHourEnd));
  SetCheck(kKXDetailStrictHours, user.GetFlag(kKXUserUseStrictHours));
  SetCheck(kKXDetailTakeLunch, user.GetFlag(kKXUserTakeLunchTime));
  SetText(kKXDetailLunchStart, user.GetText(kKXUserLunchStartTime));
  SetText(kKXDetailLunchDuration, user.GetText(kKXUserLunchDurationMins));
  SetText(kKXDetailLeaveAllowance, user.GetText(kKXUserLeaveAllowanceDays));
  SetInt(kKXDetailCarryOver, KXCarryOverDaysOf(user.GetText(kKXUserLeaveCarryOverDays), CurrentYear()));
}

void LKXUserDetailPage::InitDialog() {
  if (new_) {
    InitForNewUser();
  } else {
    LKXUser user;
    if (KXGetUser(selected_, user)) InitFromRecord(user);
  }
  restored_ = KXRestoreDetailForm(*this, selected_, *Form().Params().GetParm(kKXDetailReturning) != '\0');
}

void LKXUserDetailPage::Generate() {
  const bool off = readOnly_;
  // Enter submits a form with its first submit button: this copy of OK,
  // out of sight, comes before the picker buttons.
  wfformat(Form(),
           "<tr><td colspan=5><input type=submit name=submit value=\"%H\" tabindex=-1 aria-hidden=true "
           "style=\"position:absolute; left:-10000px;\"></td></tr>",
           OkLabel());
  if (restored_) AddStatic(kKXDetailNotSavedYet);
  StartGroupBox("Basic Info");
  if (new_) {
    AddInput(kKXDetailEmail, "Email: ", 30);
  } else {
    AddInputReadOnlyStatic(kKXDetailEmail, "Email: ");
  }
  if (off) {
    AddInputReadOnly(kKXDetailName, "Name: ", 30);
  } else {
    AddInput(kKXDetailName, "Name: ", 30);
  }
  AddInputWithSubmit(kKXDetailTeam, "Team: ", kKXAddToTeamButton, 30, off);
  AddInputWithSubmit(kKXDetailManagers, "Managers: ", kKXAddManagerButton, 30, off);
  AddCheckBox(kKXDetailAdmin, "Is Administrator (add/remove/edit users)", false, off);
  AddCheckBox(kKXDetailAccountant, "Is Accountant (view hours, leave reports)", false, off);
  AddCheckBox(kKXDetailMonitor, "Is Monitor (see others but not be seen)", false, off);
  AddCheckBox(kKXDetailLogScreenShot, "Log screenshots", false, off);
  if (KXOrgGetInt(LKXOrg::kShowUserCaptions) > 0) {
    AddCheckBox(kKXDetailShowDetails, "Show window caption to other user", false, off);
  }
  EndGroupBox();
  AddEmploymentBox();
  AddLeaveBox();
  AddOtherInfoBox();
}

void LKXUserDetailPage::AddEmploymentBox() {
  const bool off = readOnly_;
  StartGroupBox("Employment Info");
  AddRadioButton(kKXDetailPermanent, "Permanent employment (fixed not variable by-the-hour)", false, off);
  AddRadioButton(kKXDetailCasual, "Casual employment (paid by the hour)", false, off);
  AddStatic("Expected hours per week:");
  AddRadioButton(kKXDetailDefaultHours, "Default Full Time   [see system configuration]", false, off);
  AddRadioButtonWithInput(kKXDetailCustomHours, kKXDetailCustomHoursInput, "Custom hours:", false, 6, "", off);
  AddRadioButton(kKXDetailFixedDays, "Expected work days:", false, off);
  for (int i = 0; i < kDayBoxes; ++i) AddCheckBox(kKXDetailMonday + i, kDayLabels[i], false, off);
  AddRadioButton(kKXDetailFlexibleDays, "Works flexible days", false, off);
  AddStatic("Expected work hours:");
  if (off) {
    AddInputReadOnly(kKXDetailHourStart, "Start Time:", 10);
    AddInputReadOnly(kKXDetailHourEnd, "End Time:", 10);
  } else {
    AddTimeInput(kKXDetailHourStart, "Start Time:", 10);
    AddTimeInput(kKXDetailHourEnd, "End Time:", 10);
  }
  AddCheckBox(kKXDetailStrictHours, "Strict hours formula", false, off);
  AddCheckBox(kKXDetailTakeLunch, "Assume break (lunch time)", false, off);
  if (off) {
    AddInputReadOnly(kKXDetailLunchStart, "Start Time: ", 10);
    AddInputReadOnly(kKXDetailLunchDuration, "Duration (mins): ", 6);
  } else {
    AddTimeInput(kKXDetailLunchStart, "Start Time: ", 10);
    AddInput(kKXDetailLunchDuration, "Duration (mins): ", 6);
  }
  EndGroupBox();
}

void LKXUserDetailPage::AddLeaveBox() {
  StartGroupBox("Leave");
  const std::string fallback = KXOrgGetText(LKXOrg::kDefaultLeaveAllowanceDays);
  const std::string allowanceLabel = "Leave allowance (days a year, empty: " +
                                     (fallback.empty() ? std::string("none kept") : "the default " + fallback) + "):";
  const std::string carryLabel = "Days carried over into " + std::to_string(CurrentYear()) + ":";
  if (leaveEditable_) {
    AddInput(kKXDetailLeaveAllowance, allowanceLabel, 6);
    AddInput(kKXDetailCarryOver, carryLabel, 6);
  } else {
    AddInputReadOnly(kKXDetailLeaveAllowance, allowanceLabel, 6);
    AddInputReadOnly(kKXDetailCarryOver, carryLabel, 6);
  }
  EndGroupBox();
}

void LKXUserDetailPage::AddOtherInfoBox() {
  LKXUser user;
  if (!new_ && KXGetUser(selected_, user) && user.GetTimeZone() != kKXTimeZoneUnknown) {
    char zone[32];
    std::snprintf(zone, sizeof(zone), "Time Zone: %+.1f", user.GetTimeZone() / 60.0);
    StartGroupBox("Other Info");
    AddStatic(zone);
    EndGroupBox();
  }
  if (!new_) KXWriteApiTokenBox(*this, selected_, apiToken_, apiTokenNotice_);
}

bool LKXUserDetailPage::CmOk() {
  if (KXIsCurrentUserAdministator(Form()) && !readOnly_) return CheckAndSave();
  // A read-only form saves nothing but, for HR, the leave fields.
  if (!readOnly_ || !leaveEditable_ || !KXIsCurrentUserAccountant(Form())) return true;
  std::string allowance;
  int carryOver = 0;
  if (!CheckLeaveFields(allowance, carryOver)) return false;
  LKXUser user;
  if (KXGetUser(selected_, user) && SaveLeaveFields(user, allowance, carryOver)) return true;
  PopupControlDataInvalid(kKXDetailLeaveAllowance, kKXDetailNotStored);
  return false;
}

bool LKXUserDetailPage::CheckLeaveFields(std::string& allowance, int& carryOver) {
  std::string carry;
  GetTextAndTrim(kKXDetailLeaveAllowance, allowance);
  GetTextAndTrim(kKXDetailCarryOver, carry);
  if (!allowance.empty() && !KXIsLeaveDaysText(allowance)) {
    PopupControlDataInvalid(kKXDetailLeaveAllowance, kKXDetailBadLeaveDays);
    return false;
  }
  if (carry.empty()) carry = "0";
  if (!KXIsLeaveDaysText(carry)) {
    PopupControlDataInvalid(kKXDetailCarryOver, kKXDetailBadLeaveDays);
    return false;
  }
  // "007" is stored as 7.
  if (!allowance.empty()) allowance = std::to_string(std::atoi(allowance.c_str()));
  carryOver = std::atoi(carry.c_str());
  return true;
}

// Like the other fields, only what differs from the record is stored; the
// other years' carry-over stays as it is.
bool LKXUserDetailPage::SaveLeaveFields(LKXUser& user, const std::string& allowance, int carryOver) {
  bool ok = true;
  if (user.GetText(kKXUserLeaveAllowanceDays) != allowance) ok = user.SetText(kKXUserLeaveAllowanceDays, allowance);
  const std::string list = user.GetText(kKXUserLeaveCarryOverDays);
  if (KXCarryOverDaysOf(list, CurrentYear()) != carryOver) {
    ok = user.SetText(kKXUserLeaveCarryOverDays, KXWithCarryOverDays(list, CurrentYear(), carryOver)) && ok;
  }
  return ok;
}

// The cleaned items of a typed team or manager list.
std::vector<std::string> LKXUserDetailPage::ListItems(int id) const {
  std::string typed;
  GetTextAndTrim(id, typed);
  std::vector<std::string> items = KXCommaListItems(KXCleanRegistryText(typed));
  for (std::string& item : items) item = KXCleanRegistryText(item);
  return items;
}

std::vector<LKXUserDetailPage::RecordValue> LKXUserDetailPage::RecordValues() const {
  std::vector<std::string> teams = ListItems(kKXDetailTeam);
  if (teams.empty()) teams.emplace_back(kKXDefaultTeam);
  std::string name;
  GetTextAndTrim(kKXDetailName, name);
  const bool casual = GetRadioCheck(kKXDetailCasual);
  const bool customHours = GetRadioCheck(kKXDetailCustomHours);
  int days = 0;
  for (int id = kKXDetailMonday; id < kKXDetailMonday + kDayBoxes; ++id) {
    if (GetCheck(id)) days |= KXDetailWorkDayBit(id);
  }
  const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  std::string lunchStart;
  GetTextAndTrim(kKXDetailLunchStart, lunchStart);
  std::vector<RecordValue> values = {
      {&kKXUserName, KXCleanRegistryText(name)},
      {&kKXUserAccessHR, flag(GetCheck(kKXDetailAccountant))},
      {&kKXUserTeam, KXJoinCommaList(teams)},
      {&kKXUserManager, KXJoinCommaList(ListItems(kKXDetailManagers))},
      {&kKXUserWorkType, std::to_string(casual        ? kKXWorkTypeCasual
                                        : customHours ? kKXWorkTypePermanent
                                                      : kKXWorkTypeNotSet)},
      {&kKXUserWorkHours,
       std::to_string(customHours ? NonNegative(GetControlValue(kKXDetailCustomHoursInput), kMaxWeekHours) : 0)},
      {&kKXUserWorkDays, std::to_string(GetRadioCheck(kKXDetailFixedDays) ? days : 0)},
      {&kKXUserMonitor, flag(GetCheck(kKXDetailMonitor))},
      {&kKXUserUseStrictHours, flag(GetCheck(kKXDetailStrictHours))},
      {&kKXUserTakeLunchTime, flag(GetCheck(kKXDetailTakeLunch))},
      {&kKXUserLogScreenShot, flag(GetCheck(kKXDetailLogScreenShot))},
      {&kKXUserLunchStartTime, lunchStart},
      {&kKXUserLunchDurationMins, std::to_string(NonNegative(GetControlValue(kKXDetailLunchDuration), 24 * 60))},
      {&kKXUserNormalHourStart, StoredTime(GetControlValue(kKXDetailHourStart))},
      {&kKXUserNormalHourEnd, StoredTime(GetControlValue(kKXDetailHourEnd))},
  };
  // The box is only on the form while captions are decided user by user;
  // otherwise the stored choice stays.
  if (KXOrgGetInt(LKXOrg::kShowUserCaptions) > 0) {
    values.push_back({&kKXUserShowDetails, flag(GetCheck(kKXDetailShowDetails))});
  }
  return values;
}

LKXUserDetailPage::ShownForm LKXUserDetailPage::ShownFor(LKXUser& user) {
  LHashTable& params = Form().Params();
  const LHashTable posted = params;
  InitFromRecord(user);
  ShownForm shown{RecordValues(), ListItems(kKXDetailTeam), ListItems(kKXDetailManagers),
                  GetCheck(kKXDetailAdmin)};
  params = posted;
  return shown;
}

bool LKXUserDetailPage::Refuse(int id, std::string_view message) {
  PopupControlDataInvalid(id, message);
  return false;
}

// The address and the name, in the order the form asks them.
bool LKXUserDetailPage::CheckIdentity(const std::string& email, const std::string& name) {
  switch (KXCheckUserAddress(email, &LEmail::ValidateAddress)) {
    case LKXUserProblem::kNoEmail:
      return Refuse(kKXDetailEmail, kKXDetailEnterEmail);
    case LKXUserProblem::kNone:
      break;
    default:
      return Refuse(kKXDetailEmail, kKXDetailInvalidEmail);
  }
  if (KXCheckUserName(name) != LKXUserProblem::kNone) return Refuse(kKXDetailName, kKXDetailEnterName);
  if (new_ && KXCheckUserAddressFree(email) != LKXUserProblem::kNone) {
    return Refuse(kKXDetailEmail, kKXDetailEmailExists);
  }
  return true;
}

// A team or manager kept from the shown record passes even where it is gone
// since.
bool LKXUserDetailPage::CheckLists(const std::string& email, const ShownForm& shown) {
  const LKXUserCheck teams = KXCheckUserTeams(ListItems(kKXDetailTeam), shown.teams);
  if (teams.problem != LKXUserProblem::kNone) return Refuse(kKXDetailTeam, KXDetailNoTeam(teams.item));
  const LKXUserCheck managers = KXCheckUserManagers(ListItems(kKXDetailManagers), email, shown.managers);
  if (managers.problem == LKXUserProblem::kNoManager) {
    return Refuse(kKXDetailManagers, KXDetailNoManager(managers.item));
  }
  if (managers.problem != LKXUserProblem::kNone) return Refuse(kKXDetailManagers, kKXDetailManagerSelf);
  return true;
}

// A new user is created; an existing one changes role only when the box
// was changed.
bool LKXUserDetailPage::StoreUserAndRole(const std::string& email, const std::string& name,
                                         const std::vector<RecordValue>& values, bool admin,
                                         const ShownForm& shown) {
  if (new_) {
    const auto text = [&values](const LKXUserKey& key) {
      return std::find_if(values.begin(), values.end(), [&key](const RecordValue& v) { return v.key == &key; })->text;
    };
    LKXNewUser added;
    added.email = email;
    added.name = name;
    added.admin = admin;
    added.accountant = GetCheck(kKXDetailAccountant);
    added.team = text(kKXUserTeam);
    added.manager = text(kKXUserManager);
    added.workDays = std::atoi(text(kKXUserWorkDays).c_str());
    if (!KXCreateUser(added)) return Refuse(kKXDetailEmail, kKXDetailAddFailed);
  } else if (admin != shown.administrator) {
    const LKXRoleChange change = KXSetAdministrator(email, admin);
    if (change == LKXRoleChange::kLastAdministrator) return Refuse(kKXDetailAdmin, kKXDetailLastAdministrator);
    if (change != LKXRoleChange::kDone) return Refuse(kKXDetailEmail, kKXDetailNotStored);
  }
  return true;
}

// Only what differs from the shown record is stored, so OK on an unchanged
// form leaves the record as it was.
bool LKXUserDetailPage::SaveRecordValues(const std::string& email, const std::vector<RecordValue>& values,
                                         const ShownForm& shown, const std::string& allowance, int carryOver) {
  LKXUser user;
  if (!KXGetUser(email, user)) return Refuse(kKXDetailEmail, new_ ? kKXDetailAddFailed : kKXDetailNotStored);
  bool ok = true;
  for (const RecordValue& value : values) {
    const bool unchanged = std::any_of(shown.values.begin(), shown.values.end(), [&](const RecordValue& was) {
      return was.key == value.key && was.text == value.text;
    });
    if (!new_ && unchanged) continue;
    ok = user.SetText(*value.key, value.text) && ok;
  }
  ok = SaveLeaveFields(user, allowance, carryOver) && ok;
  WakeMaintenance();
  if (ok) return true;
  return Refuse(kKXDetailEmail, kKXDetailNotStored);
}

bool LKXUserDetailPage::CheckAndSave() {
  std::string email, name;
  GetTextAndTrim(kKXDetailEmail, email);
  // Only a new user's address comes from the form: an existing user is the
  // one the session names, whatever the posted copy says.
  if (!new_) email = selected_;
  email = KXCleanRegistryText(email);
  GetTextAndTrim(kKXDetailName, name);
  name = KXCleanRegistryText(name);
  if (!CheckIdentity(email, name)) return false;
  std::string allowance;
  int carryOver = 0;
  if (!CheckLeaveFields(allowance, carryOver)) return false;
  // What the page showed for the stored record: only what differs from it
  // is checked against the teams and users of today and stored.
  ShownForm shown;
  LKXUser stored;
  if (!new_ && KXGetUser(email, stored)) shown = ShownFor(stored);
  if (!CheckLists(email, shown)) return false;
  const std::vector<RecordValue> values = RecordValues();
  if (!StoreUserAndRole(email, name, values, GetCheck(kKXDetailAdmin), shown)) return false;
  return SaveRecordValues(email, values, shown, allowance, carryOver);
}

void WLUserDetailPage(LWebletForm& form) {
  const std::string seluser = form.Params().GetParm("seluser");
  if (!seluser.empty()) form.Session().SetParm("seluser", KXCleanRegistryText(seluser));
  const std::string submit = form.Params().GetParm("submit");
  const bool toTeam = KXSameName(submit, kKXAddToTeamButton);
  if (toTeam || KXSameName(submit, kKXAddManagerButton)) {
    // Only an administrator's form has these buttons enabled.
    if (!KXIsCurrentUserAdministator(form)) {
      WLRefusePage(form, kKXDetailOnlyAdminAdds);
      return;
    }
    KXKeepDetailForm(form);
    WLRedirect(form, toTeam ? "addtoteam?onok=userdetail%3Freturning%3D1&oncancel=userdetail%3Freturning%3D1"
                            : "addmanager?onok=userdetail%3Freturning%3D1&oncancel=userdetail%3Freturning%3D1");
    return;
  }
  std::string apiToken, apiTokenNotice;
  WLApiTokenPost(form, form.Session().GetParm("seluser"), apiToken, apiTokenNotice);
  WLDefaultDialogTargets(form, "userlist", "userlist");
  LKXUserDetailPage page(form);
  page.ShowApiToken(std::move(apiToken), std::move(apiTokenNotice));
  page.Run();
}
