#include "web/pages/setup/config_page.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/org_settings.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/text/decimal_text.h"

namespace {

enum : int {
  kToleranceTimeId = 107,
  kAutoDeleteDaysId = 108,
  kOfficeOnlyId = 111,
  kSomeRemoteId = 112,
  kLeaveApprovalId = 115,
  kModeQAId = 116,
  kModeHoursId = 117,
  kModeLeaveId = 118,
  kAutoDetectHolidaysId = 119,
  kDefaultWorkHoursId = 120,
  kPrivateProgramsId = 122,
  kBusinessProgramsId = 123,
  kLeaveAllowanceId = 124,
  kNormalBreakId = 202,
  kNoBreakId = 203,
  kBreakFromId = 210,
  kBreakToId = 211,
  kEnoughHoursToleranceId = 306,
  kWarningToleranceId = 312,
  kCaptionsAllId = 313,
  kCaptionsPerUserId = 314,
  kCaptionsNoneId = 315,
  kDaysOfMonthDaysId = 322,
  kFortnightStartId = 323,
};

struct LConfigCheckBox {
  int id;
  LKXOrg key;
  const char* label;
};

// The check boxes of the reporting group, in the order they are shown and
// stored.
constexpr LConfigCheckBox kWeeklyReportBoxes[] = {
    {301, LKXOrg::kWeeklyReportToManagers, "Send weekly reports to manager"},
    {302, LKXOrg::kWeeklyReportHours, "Include hours worked"},
    {303, LKXOrg::kWeeklyReportApplications, "Include top 5 applications usage percentage"},
    {304, LKXOrg::kWeeklyReportNonWorking, "Note any days not worked (permanent staff)"},
    {305, LKXOrg::kWeeklyReportEnoughHours, "Note any permanent staff who did not work enough hours"},
};
constexpr LConfigCheckBox kWarningBoxes[] = {
    {308, LKXOrg::kInsufficientHoursWarningEmail, "Send warning email if staff do not work their expected hours"},
    {309, LKXOrg::kInsufficientHoursWarningToStaff, "Send the report to the staff member"},
    {310, LKXOrg::kInsufficientHoursWarningToManagers, "Send the report to their manager"},
    {311, LKXOrg::kInsufficientHoursWarningToHR, "Send the report to Human Resources"},
};
constexpr LConfigCheckBox kCasualBoxes[] = {
    {320, LKXOrg::kCasualHoursEmailToHR, "Send HR casual employee hours reports"},
    {401, LKXOrg::kCasualHoursEmailToHREndOfMonth, "At the end of each calendar month"},
    {402, LKXOrg::kCasualHoursEmailToHRDaysOfMonth, "On these days of the month [eg. 14, 28]"},
    {403, LKXOrg::kCasualHoursEmailToHREndOfWeek, "At the end of each week"},
    {405, LKXOrg::kCasualHoursEmailToHREndOfFortnight, "At the end of each fortnight"},
};
constexpr LConfigCheckBox kCasualManagerBox = {321, LKXOrg::kCasualHoursEmailToManager,
                                               "Send these reports to manager at the same time"};
constexpr LConfigCheckBox kPrivateBoxes[] = {
    {501, LKXOrg::kPrivateProgramsWarningEmail,
     "Send email to remind user when private-like programs have been used under working mode"},
    {502, LKXOrg::kPrivateProgramsWarningEmailToManager, "Send the user's manager a copy"},
};
constexpr LConfigCheckBox kBusinessListBox = {
    503, LKXOrg::kSendBusinessProgramsList,
    "Synchronize the following Business-like programs list with user's KavrixStation on install"};

struct LConfigModeBox {
  LConfigCheckBox box;
  const char* explanation;
};

constexpr LConfigModeBox kModeBoxes[] = {
    {{kModeQAId, LKXOrg::kModeQA, "Staff quality control, monitoring and computer usage analysis"},
     "Records which programs and documents staff work with, takes screenshots and reports how computers are "
     "used."},
    {{kModeHoursId, LKXOrg::kModeHours, "Staff hours tracking, calculation and reporting"},
     "Works out the hours each person works from their computer activity and manual entries."},
    {{kModeLeaveId, LKXOrg::kModeLeave, "Staff holiday, sick and other leave reporting"},
     "Lets staff apply for leave, managers approve it, and keeps leave reports."},
};

// A number field; its range and message are the organisation table's.
struct LConfigNumber {
  int id;
  LKXOrg key;
};

// Checked in this order.
constexpr LConfigNumber kNumbers[] = {
    {kAutoDeleteDaysId, LKXOrg::kAutoDeleteDays},
    {kDefaultWorkHoursId, LKXOrg::kDefaultWorkHours},
    {kToleranceTimeId, LKXOrg::kToleranceTime},
    {kEnoughHoursToleranceId, LKXOrg::kWeeklyReportEnoughHoursTolerance},
    {kWarningToleranceId, LKXOrg::kInsufficientHoursWarningTolerance},
};

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A typed number: decimal digits with an optional sign; an empty field reads
// as 0. Anything else (letters, a second number) is refused rather than
// read up to its first stray byte.
bool ReadNumber(std::string_view typed, int& out) {
  std::string_view text = Trimmed(typed);
  if (text.empty()) {
    out = 0;
    return true;
  }
  std::string_view digits = text;
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
  if (!AllDigits(digits)) return false;
  out = LDecimalToInt(text);
  return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// "14, 28": numbers from 1 to 31 separated by commas; empty is no day.
bool IsDaysOfMonthList(std::string_view list) {
  if (Trimmed(list).empty()) return true;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view item = Trimmed(list.substr(0, comma));
    if (!AllDigits(item) || item.size() > 2) return false;
    const int day = LDecimalToInt(item);
    if (day < 1 || day > 31) return false;
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

LKXConfigPage::LKXConfigPage(LWebletForm& form) : LKXWebDialog(form, "config", "System Configuration", 0) {}

bool LKXConfigPage::Authenticate() {
  LKXUser user;
  if (!KXGetCurrentUser(Form(), user)) {
    WLRefusePage(Form(), kLConfigNoCurrentUser);
    return false;
  }
  if (!user.IsAdministrator()) {
    WLRefusePage(Form(), kLConfigAdminOnly);
    return false;
  }
  return true;
}

void LKXConfigPage::InitDialog() {
  // Numbers as their readers take them (a hand edit out of range reads as
  // its bound), so that what the page shows is what is in effect.
  for (const LConfigNumber& number : kNumbers) SetInt(number.id, KXOrgGetInt(number.key));
  SetCheck(kLeaveApprovalId, KXOrgGetBool(LKXOrg::kLeaveApprovalRequired));
  SetText(kLeaveAllowanceId, KXOrgGetText(LKXOrg::kDefaultLeaveAllowanceDays));
  SetCheck(kAutoDetectHolidaysId, KXOrgGetBool(LKXOrg::kAutoDetectHolidays));
  const int captions = KXOrgGetInt(LKXOrg::kShowUserCaptions);
  SetRadioCheck(captions < 0 ? kCaptionsNoneId : captions > 0 ? kCaptionsPerUserId : kCaptionsAllId, true);
  SetRadioCheck(KXOrgGetBool(LKXOrg::kConnectRemote) ? kSomeRemoteId : kOfficeOnlyId, true);
  for (const LConfigModeBox& mode : kModeBoxes) SetCheck(mode.box.id, KXOrgGetBool(mode.box.key));
  SetRadioCheck(KXOrgGetBool(LKXOrg::kBreakTimeExclude) ? kNormalBreakId : kNoBreakId, true);
  SetText(kBreakFromId, KXOrgGetText(LKXOrg::kBreakTimeFrom));
  SetText(kBreakToId, KXOrgGetText(LKXOrg::kBreakTimeTo));
  for (const LConfigCheckBox& box : kWeeklyReportBoxes) SetCheck(box.id, KXOrgGetBool(box.key));
  for (const LConfigCheckBox& box : kWarningBoxes) SetCheck(box.id, KXOrgGetBool(box.key));
  for (const LConfigCheckBox& box : kCasualBoxes) SetCheck(box.id, KXOrgGetBool(box.key));
  SetCheck(kCasualManagerBox.id, KXOrgGetBool(kCasualManagerBox.key));
  for (const LConfigCheckBox& box : kPrivateBoxes) SetCheck(box.id, KXOrgGetBool(box.key));
  SetCheck(kBusinessListBox.id, KXOrgGetBool(kBusinessListBox.key));
  SetText(kDaysOfMonthDaysId, KXOrgGetText(LKXOrg::kCasualHoursEmailToHRDaysOfMonthDays));
  SetText(kFortnightStartId, KXOrgGetText(LKXOrg::kCasualHoursEmailToHREndOfFortnightStartDate));
  SetText(kPrivateProgramsId, KXOrgGetText(LKXOrg::kPrivatePrograms));
  SetText(kBusinessProgramsId, KXOrgGetText(LKXOrg::kBusinessPrograms));
}

void LKXConfigPage::Generate() {
  StartGroupBox("Options");
  AddInput(kAutoDeleteDaysId, "Auto-delete screen shots (after days): ", 6);
  AddCheckBox(kLeaveApprovalId, "Leave form approval required");
  AddInput(kLeaveAllowanceId, "Default leave allowance (days a year, empty: none kept): ", 6);
  AddCheckBox(kAutoDetectHolidaysId, "Auto detect public holidays");
  SetIndent(1);
  AddStatic(
      "When more than 50% of staff are absent, a public holiday is added. Minimum of 4 staff is required for this "
      "option. ");
  SetIndent(0);
  AddStatic("Display user window caption");
  AddRadioButton(kCaptionsAllId, "Show window caption of all users");
  AddRadioButton(kCaptionsPerUserId, "Show window caption on a user-by-user basis");
  AddRadioButton(kCaptionsNoneId, "Do not show window caption for any user");
  EndGroupBox();

  StartGroupBox("Connect Remote");
  AddStatic("Where will staff work?");
  AddRadioButton(kOfficeOnlyId, "Only in this office (on your local computer network)");
  AddRadioButton(kSomeRemoteId, "Some staff will work from home outside the network");
  EndGroupBox();

  StartGroupBox("KavrixServer Running Mode");
  for (const LConfigModeBox& mode : kModeBoxes) {
    AddCheckBox(mode.box.id, mode.box.label);
    SetIndent(1);
    AddStatic(mode.explanation);
    SetIndent(0);
  }
  EndGroupBox();

  StartGroupBox("Work Time Options");
  AddInput(kDefaultWorkHoursId, "Default full time hours per week", 6);
  AddInput(kToleranceTimeId, "Tolerance (idle mins before considered break): ", 6);
  AddStatic("Default Break Mode (eg. Lunch)");
  AddRadioButton(kNormalBreakId, "Normal break time");
  SetIndent(1);
  AddTimeInput(kBreakFromId, "", 8);
  AddTimeInput(kBreakToId, " To ", 8);
  SetIndent(0);
  AddRadioButton(kNoBreakId, "No breaks will be taken");
  EndGroupBox();

  StartGroupBox("Reporting Options");
  for (const LConfigCheckBox& box : kWeeklyReportBoxes) AddCheckBox(box.id, box.label);
  AddInput(kEnoughHoursToleranceId, "Tolerance (%): ", 3);
  for (const LConfigCheckBox& box : kWarningBoxes) AddCheckBox(box.id, box.label);
  AddInput(kWarningToleranceId, "Tolerance (%): ", 3);
  for (const LConfigCheckBox& box : kCasualBoxes) AddCheckBox(box.id, box.label);
  AddInput(kDaysOfMonthDaysId, "Days of month (comma separated): ", 20);
  AddDateInput(kFortnightStartId, "Start Date: ", 15);
  AddCheckBox(kCasualManagerBox.id, kCasualManagerBox.label);
  for (const LConfigCheckBox& box : kPrivateBoxes) AddCheckBox(box.id, box.label);
  AddInput(kPrivateProgramsId, "Private-like Programs", 80);
  AddCheckBox(kBusinessListBox.id, kBusinessListBox.label);
  AddInput(kBusinessProgramsId, "Business-like Programs", 80);
  AddStatic("This list will be sent to user's KavrixStation whenever a new client is installed");
  EndGroupBox();
}

// The form's values once they passed their checks.
struct LKXConfigPage::Posted {
  int values[std::size(kNumbers)] = {};
  bool normalBreak = false;
  std::string breakFrom, breakTo;
  std::string allowance, days, fortnightStart, privatePrograms, businessPrograms;
};

bool LKXConfigPage::ReadNumbers(Posted& posted) {
  for (std::size_t i = 0; i < std::size(kNumbers); ++i) {
    const LConfigNumber& number = kNumbers[i];
    // The value in effect passes as it is shown, even where only a hand
    // edit could have stored it ("AutoDeleteDays" 0 keeps every screenshot).
    const bool read = ReadNumber(GetControlValue(number.id), posted.values[i]);
    if (!read || (posted.values[i] != KXOrgGetInt(number.key) && !KXOrgInRange(number.key, posted.values[i]))) {
      PopupControlDataInvalid(number.id, KXOrgSettingOf(number.key).range_message);
      return false;
    }
  }
  return true;
}

bool LKXConfigPage::ReadBreak(Posted& posted) {
  posted.normalBreak = GetRadioCheck(kNormalBreakId);
  GetTextAndTrim(kBreakFromId, posted.breakFrom);
  GetTextAndTrim(kBreakToId, posted.breakTo);
  if (!posted.normalBreak) return true;
  // Empty times are no break time yet, as on a fresh installation.
  for (const auto& [id, text] :
       {std::pair{kBreakFromId, &posted.breakFrom}, std::pair{kBreakToId, &posted.breakTo}}) {
    if (text->empty()) continue;
    if (!LDayTime::ValidateDateHHCMMCSS(*text)) {
      PopupControlDataInvalid(id, kLConfigTimeFormat);
      return false;
    }
    LDayTime time;
    time.SetText(*text);
    *text = time.GetText();
  }
  if (!posted.breakFrom.empty() && !posted.breakTo.empty() && posted.breakTo < posted.breakFrom) {
    PopupControlDataInvalid(kBreakToId, kLConfigBreakOrder);
    return false;
  }
  return true;
}

bool LKXConfigPage::ReadTexts(Posted& posted) {
  GetTextAndTrim(kLeaveAllowanceId, posted.allowance);
  if (!posted.allowance.empty() && !KXIsLeaveDaysText(posted.allowance)) {
    PopupControlDataInvalid(kLeaveAllowanceId, KXOrgSettingOf(LKXOrg::kDefaultLeaveAllowanceDays).range_message);
    return false;
  }
  if (!posted.allowance.empty()) posted.allowance = std::to_string(std::atoi(posted.allowance.c_str()));
  GetText(kDaysOfMonthDaysId, posted.days);
  GetTextAndTrim(kFortnightStartId, posted.fortnightStart);
  GetText(kPrivateProgramsId, posted.privatePrograms);
  GetText(kBusinessProgramsId, posted.businessPrograms);
  if (!IsDaysOfMonthList(posted.days)) {
    PopupControlDataInvalid(kDaysOfMonthDaysId, kLConfigDaysOfMonth);
    return false;
  }
  if (!posted.fortnightStart.empty() && !KXIsDateText(posted.fortnightStart)) {
    PopupControlDataInvalid(kFortnightStartId, kLConfigDateFormat);
    return false;
  }
  // The settings file keeps one line per key: a line break would cut the
  // list there without a word.
  for (const auto& [id, text] : {std::pair{kPrivateProgramsId, &posted.privatePrograms},
                                 std::pair{kBusinessProgramsId, &posted.businessPrograms}}) {
    if (HasLineBreak(*text)) {
      PopupControlDataInvalid(id, kLConfigOneLine);
      return false;
    }
  }
  return true;
}

// Only what the form changed is stored: a form sent back as it was shown
// leaves every file as it was.
bool LKXConfigPage::Store(const Posted& posted) {
  const int captions = GetRadioCheck(kCaptionsNoneId) ? -1 : GetRadioCheck(kCaptionsPerUserId) ? 1 : 0;
  LKXOrgChanges changes;
  changes.EditInt(LKXOrg::kAutoDeleteDays, posted.values[0]);
  changes.EditBool(LKXOrg::kLeaveApprovalRequired, GetCheck(kLeaveApprovalId));
  changes.EditText(LKXOrg::kDefaultLeaveAllowanceDays, posted.allowance);
  changes.EditBool(LKXOrg::kAutoDetectHolidays, GetCheck(kAutoDetectHolidaysId));
  changes.EditInt(LKXOrg::kShowUserCaptions, captions);
  changes.EditBool(LKXOrg::kConnectRemote, GetRadioCheck(kSomeRemoteId));
  for (const LConfigModeBox& mode : kModeBoxes) changes.EditBool(mode.box.key, GetCheck(mode.box.id));
  changes.EditInt(LKXOrg::kDefaultWorkHours, posted.values[1]);
  changes.EditInt(LKXOrg::kToleranceTime, posted.values[2]);
  changes.EditBool(LKXOrg::kBreakTimeExclude, posted.normalBreak);
  if (posted.normalBreak) {
    changes.EditText(LKXOrg::kBreakTimeFrom, posted.breakFrom);
    changes.EditText(LKXOrg::kBreakTimeTo, posted.breakTo);
  }
  for (const LConfigCheckBox& box : kWeeklyReportBoxes) changes.EditBool(box.key, GetCheck(box.id));
  changes.EditInt(LKXOrg::kWeeklyReportEnoughHoursTolerance, posted.values[3]);
  for (const LConfigCheckBox& box : kWarningBoxes) changes.EditBool(box.key, GetCheck(box.id));
  changes.EditInt(LKXOrg::kInsufficientHoursWarningTolerance, posted.values[4]);
  for (const LConfigCheckBox& box : kCasualBoxes) changes.EditBool(box.key, GetCheck(box.id));
  changes.EditText(LKXOrg::kCasualHoursEmailToHRDaysOfMonthDays, posted.days);
  changes.EditText(LKXOrg::kCasualHoursEmailToHREndOfFortnightStartDate, posted.fortnightStart);
  changes.EditBool(kCasualManagerBox.key, GetCheck(kCasualManagerBox.id));
  for (const LConfigCheckBox& box : kPrivateBoxes) changes.EditBool(box.key, GetCheck(box.id));
  changes.EditText(LKXOrg::kPrivatePrograms, posted.privatePrograms);
  changes.EditBool(kBusinessListBox.key, GetCheck(kBusinessListBox.id));
  changes.EditText(LKXOrg::kBusinessPrograms, posted.businessPrograms);
  if (changes.Write()) return true;
  PopupControlDataInvalid(kAutoDeleteDaysId, kLConfigNotStored);
  return false;
}

bool LKXConfigPage::CmOk() {
  Posted posted;
  return ReadNumbers(posted) && ReadBreak(posted) && ReadTexts(posted) && Store(posted);
}

void WLConfigPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXConfigPage(form).Run();
}
