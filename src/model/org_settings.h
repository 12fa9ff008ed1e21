#pragma once
// The organisation's rules: keys of the sections "Company" and "Settings"
// of the machine-wide settings, with their defaults and the ranges the
// settings pages enforce, in one table. Read and write them through the
// accessors below so that a key's default lives only here:
//
//   int hours = KXOrgGetInt(LKXOrg::kDefaultWorkHours);   // 40 when missing
//   if (KXOrgGetBool(LKXOrg::kModeLeave)) ...
//
// Every value is stored as text. A missing or empty value means the default.
// Flags are true unless the value begins with "0".

#include <climits>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class LKXOrg {
  kDefaultWorkHours,
  kToleranceTime,
  kMaxBreakMins,
  kBreakTimeExclude,
  kBreakTimeFrom,
  kBreakTimeTo,
  kPrivatePrograms,
  kBusinessPrograms,
  kPrivateProgramsWarningEmail,
  kPrivateProgramsWarningEmailToManager,
  kSendBusinessProgramsList,
  kWeeklyReportToManagers,
  kWeeklyReportHours,
  kWeeklyReportApplications,
  kWeeklyReportNonWorking,
  kWeeklyReportEnoughHours,
  kWeeklyReportEnoughHoursTolerance,
  kInsufficientHoursWarningEmail,
  kInsufficientHoursWarningToStaff,
  kInsufficientHoursWarningToManagers,
  kInsufficientHoursWarningToHR,
  kInsufficientHoursWarningTolerance,
  kCasualHoursEmailToHR,
  kCasualHoursEmailToHREndOfMonth,
  kCasualHoursEmailToHRDaysOfMonth,
  kCasualHoursEmailToHRDaysOfMonthDays,
  kCasualHoursEmailToHREndOfWeek,
  kCasualHoursEmailToHREndOfFortnight,
  kCasualHoursEmailToHREndOfFortnightStartDate,
  kCasualHoursEmailToManager,
  kModeQA,
  kModeHours,
  kModeLeave,
  kAutoDeleteDays,
  kLeaveApprovalRequired,
  kAutoDetectHolidays,
  kConnectRemote,
  kShowUserCaptions,
  kInitLeaveTypes,
  kDefaultLeaveAllowanceDays,
  kCount  // not a setting
};

enum class LKXOrgType {
  kInt,   // decimal
  kFlag,  // "1" / "0"
  kText,  // free text or a comma-separated list
  kTime,  // "HH:MM:SS"
  kDate,  // "YYYY-MM-DD"
};

struct LKXOrgSetting {
  LKXOrg id;  // equal to the row's index
  const char* section;
  const char* key;
  LKXOrgType type;
  // What a missing or empty value means; nullptr when the default is the
  // value of the flag `default_from`.
  const char* default_text;
  LKXOrg default_from;
  // The range the settings pages enforce and that readers keep to; min > max
  // for none. The message is shown by the page when a typed value is out.
  int min;
  int max;
  const char* range_message;
  // A stored number below 1 turns the rule off: it reads as 0, not as the
  // nearest bound.
  bool below_one_is_off;
};

namespace kx_org_detail {
inline constexpr int kNoMin = 1;
inline constexpr int kNoMax = 0;
inline constexpr LKXOrgSetting Int(LKXOrg id, const char* section, const char* key, const char* def,
                                   int min = kNoMin, int max = kNoMax, const char* message = nullptr) {
  return {id, section, key, LKXOrgType::kInt, def, LKXOrg::kCount, min, max, message, false};
}
inline constexpr LKXOrgSetting IntOrOff(LKXOrg id, const char* section, const char* key, const char* def,
                                        int min, int max, const char* message) {
  return {id, section, key, LKXOrgType::kInt, def, LKXOrg::kCount, min, max, message, true};
}
inline constexpr LKXOrgSetting Flag(LKXOrg id, const char* section, const char* key, const char* def) {
  return {id, section, key, LKXOrgType::kFlag, def, LKXOrg::kCount, kNoMin, kNoMax, nullptr, false};
}
// A flag whose default is the value of another flag.
inline constexpr LKXOrgSetting FlagLike(LKXOrg id, const char* section, const char* key, LKXOrg from) {
  return {id, section, key, LKXOrgType::kFlag, nullptr, from, kNoMin, kNoMax, nullptr, false};
}
inline constexpr LKXOrgSetting Text(LKXOrg id, const char* section, const char* key,
                                    LKXOrgType type = LKXOrgType::kText) {
  return {id, section, key, type, "", LKXOrg::kCount, kNoMin, kNoMax, nullptr, false};
}
}  // namespace kx_org_detail

inline constexpr char kKXOrgPercentRange[] = "Tolerance (%) has to be between 0 to 100. Please reenter.";

// clang-format off
inline constexpr LKXOrgSetting kKXOrgSettings[] = {
  // Working time and breaks (the hours calculation).
  kx_org_detail::Int(LKXOrg::kDefaultWorkHours, "Company", "DefaultWorkHours", "40", 0, 84,
      "Default Work Hours per week has to be between 0 to 84. Please reenter."),
  // Idle minutes before idle time is a break. Hours of past days were worked
  // out with 8 for a missing value: the page shows and stores what the
  // calculation uses, so saving it does not change history.
  kx_org_detail::Int(LKXOrg::kToleranceTime, "Settings", "ToleranceTime", "8", 5, 30,
      "Tolerance mins has to be between 5 to 30. Please reenter."),
  kx_org_detail::Int(LKXOrg::kMaxBreakMins, "Company", "MaxBreakMins", "240"),
  kx_org_detail::Flag(LKXOrg::kBreakTimeExclude, "Company", "BreakTimeExclude", "1"),
  kx_org_detail::Text(LKXOrg::kBreakTimeFrom, "Company", "BreakTimeFrom", LKXOrgType::kTime),
  kx_org_detail::Text(LKXOrg::kBreakTimeTo, "Company", "BreakTimeTo", LKXOrgType::kTime),
  // Programs.
  kx_org_detail::Text(LKXOrg::kPrivatePrograms, "Company", "PrivatePrograms"),
  kx_org_detail::Text(LKXOrg::kBusinessPrograms, "Company", "BusinessPrograms"),
  kx_org_detail::Flag(LKXOrg::kPrivateProgramsWarningEmail, "Company", "PrivateProgramsWarningEmail", "0"),
  kx_org_detail::Flag(LKXOrg::kPrivateProgramsWarningEmailToManager, "Company", "PrivateProgramsWarningEmailToManager", "0"),
  kx_org_detail::Flag(LKXOrg::kSendBusinessProgramsList, "Company", "SendBusinessProgramsList", "1"),
  // Weekly report.
  kx_org_detail::Flag(LKXOrg::kWeeklyReportToManagers, "Company", "WeeklyReportToManagers", "1"),
  kx_org_detail::Flag(LKXOrg::kWeeklyReportHours, "Company", "WeeklyReportHours", "1"),
  kx_org_detail::FlagLike(LKXOrg::kWeeklyReportApplications, "Company", "WeeklyReportApplications", LKXOrg::kModeQA),
  kx_org_detail::FlagLike(LKXOrg::kWeeklyReportNonWorking, "Company", "WeeklyReportNonWorking", LKXOrg::kModeHours),
  kx_org_detail::FlagLike(LKXOrg::kWeeklyReportEnoughHours, "Company", "WeeklyReportEnoughHours", LKXOrg::kModeHours),
  kx_org_detail::Int(LKXOrg::kWeeklyReportEnoughHoursTolerance, "Company", "WeeklyReportEnoughHoursTolerance", "2", 0, 100,
      kKXOrgPercentRange),
  // Insufficient-hours warnings.
  kx_org_detail::FlagLike(LKXOrg::kInsufficientHoursWarningEmail, "Company", "InsufficientHoursWarningEmail", LKXOrg::kModeHours),
  kx_org_detail::Flag(LKXOrg::kInsufficientHoursWarningToStaff, "Company", "InsufficientHoursWarningToStaff", "1"),
  kx_org_detail::Flag(LKXOrg::kInsufficientHoursWarningToManagers, "Company", "InsufficientHoursWarningToManagers", "1"),
  kx_org_detail::Flag(LKXOrg::kInsufficientHoursWarningToHR, "Company", "InsufficientHoursWarningToHR", "1"),
  kx_org_detail::Int(LKXOrg::kInsufficientHoursWarningTolerance, "Company", "InsufficientHoursWarningTolerance", "2", 0, 100,
      kKXOrgPercentRange),
  // Casual staff hours for the accountants.
  kx_org_detail::FlagLike(LKXOrg::kCasualHoursEmailToHR, "Company", "CasualHoursEmailToHR", LKXOrg::kModeHours),
  kx_org_detail::Flag(LKXOrg::kCasualHoursEmailToHREndOfMonth, "Company", "CasualHoursEmailToHREndOfMonth", "1"),
  kx_org_detail::Flag(LKXOrg::kCasualHoursEmailToHRDaysOfMonth, "Company", "CasualHoursEmailToHRDaysOfMonth", "0"),
  kx_org_detail::Text(LKXOrg::kCasualHoursEmailToHRDaysOfMonthDays, "Company", "CasualHoursEmailToHRDaysOfMonthDays"),
  kx_org_detail::Flag(LKXOrg::kCasualHoursEmailToHREndOfWeek, "Company", "CasualHoursEmailToHREndOfWeek", "0"),
  kx_org_detail::Flag(LKXOrg::kCasualHoursEmailToHREndOfFortnight, "Company", "CasualHoursEmailToHREndOfFortnight", "0"),
  kx_org_detail::Text(LKXOrg::kCasualHoursEmailToHREndOfFortnightStartDate, "Company", "CasualHoursEmailToHREndOfFortnightStartDate", LKXOrgType::kDate),
  kx_org_detail::Flag(LKXOrg::kCasualHoursEmailToManager, "Company", "CasualHoursEmailToManager", "0"),
  // Running modes and general rules.
  kx_org_detail::Flag(LKXOrg::kModeQA, "Settings", "ModeQA", "1"),
  kx_org_detail::Flag(LKXOrg::kModeHours, "Settings", "ModeHours", "1"),
  kx_org_detail::Flag(LKXOrg::kModeLeave, "Settings", "ModeLeave", "1"),
  // 0 keeps every screenshot.
  kx_org_detail::IntOrOff(LKXOrg::kAutoDeleteDays, "Settings", "AutoDeleteDays", "30", 5, 300,
      "Auto-delete days has to be between 5 to 300. Please reenter."),
  kx_org_detail::Flag(LKXOrg::kLeaveApprovalRequired, "Settings", "LeaveApprovalRequired", "1"),
  kx_org_detail::Flag(LKXOrg::kAutoDetectHolidays, "Settings", "AutoDetectHolidays", "0"),
  kx_org_detail::Flag(LKXOrg::kConnectRemote, "Settings", "ConnectRemote", "1"),
  // 0: every user's captions are shown; 1: as each user's "ShowDetails"
  // says; -1: nobody's.
  kx_org_detail::Int(LKXOrg::kShowUserCaptions, "Settings", "ShowUserCaptions", "0", -1, 1),
  kx_org_detail::Flag(LKXOrg::kInitLeaveTypes, "Settings", "InitLeaveTypes", "1"),
  // Leave days a year of a user without "LeaveAllowanceDays"; empty: no
  // allowance is kept, and no balance shown.
  kx_org_detail::Int(LKXOrg::kDefaultLeaveAllowanceDays, "Settings", "DefaultLeaveAllowanceDays", "", 0, 366,
      "Default leave allowance has to be between 0 to 366 days. Please reenter."),
};
// clang-format on

namespace kx_org_detail {
constexpr bool RowsMatchIds() {
  for (std::size_t i = 0; i < std::size(kKXOrgSettings); ++i) {
    if (static_cast<std::size_t>(kKXOrgSettings[i].id) != i) return false;
  }
  return std::size(kKXOrgSettings) == static_cast<std::size_t>(LKXOrg::kCount);
}
static_assert(RowsMatchIds(), "kKXOrgSettings rows must follow the order of LKXOrg");
}  // namespace kx_org_detail

const LKXOrgSetting& KXOrgSettingOf(LKXOrg id);
bool KXOrgHasRange(LKXOrg id);
bool KXOrgInRange(LKXOrg id, int value);

// The stored text, or the default text when missing or empty (for a flag
// whose default is another flag, "1" or "0" as that flag reads).
std::string KXOrgGetText(LKXOrg id);
bool KXOrgGetBool(LKXOrg id);
// The stored number (strtol's reading; text that is no number reads 0), or
// the default; a value outside the setting's range, which only a hand edit
// can store, reads as the nearest bound (or as 0 where that turns it off).
int KXOrgGetInt(LKXOrg id);

bool KXOrgSetText(LKXOrg id, std::string_view value);
bool KXOrgSetBool(LKXOrg id, bool value);
bool KXOrgSetInt(LKXOrg id, int value);
// Removes the key, so that the default applies again.
bool KXOrgClear(LKXOrg id);

// Several settings saved together, as a settings page saves its form: each
// settings file is read, changed and rewritten once (one atomic replace)
// however many of its keys change, so that a reader sees either none of the
// page's changes or all of those of one file, and a save of twenty keys does
// not rewrite the same file twenty times.
class LKXOrgChanges {
 public:
  void SetText(LKXOrg id, std::string_view value);
  void SetBool(LKXOrg id, bool value) { SetText(id, value ? "1" : "0"); }
  void SetInt(LKXOrg id, int value) { SetText(id, std::to_string(value)); }
  // As the setters, but left out when the value is the one in effect once
  // the other changes are made (read as the setting's readers read it): a
  // form sent back unchanged leaves stored texts, hand edits and missing
  // keys, whose defaults may follow another flag, as they were.
  void EditText(LKXOrg id, std::string_view value) { edits_.emplace_back(id, std::string(value)); }
  void EditBool(LKXOrg id, bool value) { EditText(id, value ? "1" : "0"); }
  void EditInt(LKXOrg id, int value) { EditText(id, std::to_string(value)); }
  bool Empty() const { return changes_.empty() && edits_.empty(); }
  // False when a file could not be written; the files before it keep their
  // new values.
  [[nodiscard]] bool Write() const;

 private:
  using Change = std::pair<LKXOrg, std::string>;
  // The setters' changes, then each edit that changes what is in effect.
  std::vector<Change> Resolved() const;

  std::vector<Change> changes_;  // in the order set
  std::vector<Change> edits_;
};
