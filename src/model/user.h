#pragma once
// A staff user: one member record of the list "UsersList", identified by its
// e-mail address. The keys of the record and what a missing key means are
// listed once, below; read and write them through the typed accessors so
// that every reader applies the same default.

#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "foundation/settings_file.h"

// A key of the user record with the text that a missing (or empty) value
// stands for. Flags follow the settings rule: empty is the default, a value
// beginning with "0" is false, anything else true.
struct LKXUserKey {
  std::string_view name;
  std::string_view default_text;
};

// Identity and log-in.
inline constexpr LKXUserKey kKXUserEmail{"Email", ""};  // unique, letter case ignored
inline constexpr LKXUserKey kKXUserName{"Name", ""};
inline constexpr LKXUserKey kKXUserPassword{"Password", ""};        // plain text
inline constexpr LKXUserKey kKXUserOldPassword{"OldPassword", ""};  // kept until a new one is used
inline constexpr LKXUserKey kKXUserPasswordReq{"PasswordReq", "0"};  // e-mail the password
// Roles.
inline constexpr LKXUserKey kKXUserAccessAdmin{"AccessAdmin", "0"};
inline constexpr LKXUserKey kKXUserAccessHR{"AccessHR", "0"};
inline constexpr LKXUserKey kKXUserMonitor{"Monitor", "0"};
inline constexpr LKXUserKey kKXUserTeam{"Team", "DefaultTeam"};  // comma list of team names
inline constexpr LKXUserKey kKXUserManager{"Manager", ""};       // comma list of e-mail addresses
// Working time.
inline constexpr LKXUserKey kKXUserWorkType{"WorkType", "0"};    // see kKXWorkType*
inline constexpr LKXUserKey kKXUserWorkHours{"WorkHours", "0"};  // 0: the organisation's default
inline constexpr LKXUserKey kKXUserWorkDays{"WorkDays", "0"};    // LWeekDay bits; 0: flexible days
inline constexpr LKXUserKey kKXUserNormalHourStart{"NormalHourStart", ""};  // "HH:MM:SS", user's zone
inline constexpr LKXUserKey kKXUserNormalHourEnd{"NormalHourEnd", ""};      // empty: flexible hours
inline constexpr LKXUserKey kKXUserUseStrictHours{"UseStrictHours", "0"};
inline constexpr LKXUserKey kKXUserTakeLunchTime{"TakeLunchTime", "0"};
inline constexpr LKXUserKey kKXUserLunchStartTime{"LunchStartTime", ""};
inline constexpr LKXUserKey kKXUserLunchDurationMins{"LunchDurationMins", "0"};
// Monitoring.
inline constexpr LKXUserKey kKXUserLogActivity{"LogActivity", "1"};
inline constexpr LKXUserKey kKXUserLogScreenShot{"LogScreenShot", "1"};
inline constexpr LKXUserKey kKXUserShowDetails{"ShowDetails", "1"};
inline constexpr LKXUserKey kKXUserTimeZone{"TimeZone", "1440"};  // minutes; 1440: not reported
inline constexpr LKXUserKey kKXUserEmpStartDate{"EmpStartDate", ""};  // "YYYY-MM-DD HH:MM:SS"
// Live station state, kept by the station server.
inline constexpr LKXUserKey kKXUserConnected{"Connected", "0"};
inline constexpr LKXUserKey kKXUserStateChanged{"StateChanged", "0"};  // seconds since 1970
inline constexpr LKXUserKey kKXUserStateActive{"StateActive", "0"};
inline constexpr LKXUserKey kKXUserStatePrivate{"StatePrivate", "0"};
inline constexpr LKXUserKey kKXUserLastApplication{"LastApplication", ""};
inline constexpr LKXUserKey kKXUserLastCaption{"LastCaption", ""};
inline constexpr LKXUserKey kKXUserLastLocation{"LastLocation", ""};
inline constexpr LKXUserKey kKXUserPhone{"Phone", ""};
// Pending notices, raised by the pages and cleared once the mail is sent.
inline constexpr LKXUserKey kKXUserLeaveApplicationEmail{"LeaveApplicationEmail", "0"};
inline constexpr LKXUserKey kKXUserLeaveApproveEmail{"LeaveApproveEmail", "0"};
inline constexpr LKXUserKey kKXUserLeaveDisapproveEmail{"LeaveDisapproveEmail", "0"};
inline constexpr LKXUserKey kKXUserLeaveDeletedEmail{"LeaveDeletedEmail", "0"};
inline constexpr LKXUserKey kKXUserLeaveApproveOperator{"LeaveApproveOperator", ""};
inline constexpr LKXUserKey kKXUserLeaveDisapproveOperator{"LeaveDisapproveOperator", ""};
inline constexpr LKXUserKey kKXUserLeaveDeletedOperator{"LeaveDeletedOperator", ""};
inline constexpr LKXUserKey kKXUserLeaveFormRemindEmail{"LeaveFormRemindEmail", "0"};
inline constexpr LKXUserKey kKXUserLeaveFormRemindEmailToManagers{"LeaveFormRemindEmailToManagers", "0"};
inline constexpr LKXUserKey kKXUserNonConnectNotice24{"NonConnectNotice24", "0"};
inline constexpr LKXUserKey kKXUserNonConnectNotice48{"NonConnectNotice48", "0"};
// The secret of the user's personal leave calendar address; empty for none.
inline constexpr LKXUserKey kKXUserLeaveCalendarToken{"LeaveCalendarToken", ""};
// Leave allowance: whole days a year; empty takes the organisation's
// "DefaultLeaveAllowanceDays" (leave_balance.h).
inline constexpr LKXUserKey kKXUserLeaveAllowanceDays{"LeaveAllowanceDays", ""};
// Days carried over from the year before, per year: "2026:3,2027:1".
inline constexpr LKXUserKey kKXUserLeaveCarryOverDays{"LeaveCarryOverDays", ""};
// The personal API token: only its SHA-256 (hex) is kept, with the moment it
// was made ("YYYY-MM-DD HH:MM:SS"); both empty for none.
inline constexpr LKXUserKey kKXUserApiTokenHash{"ApiTokenHash", ""};
inline constexpr LKXUserKey kKXUserApiTokenCreated{"ApiTokenCreated", ""};

// "WorkType" values. 0 is treated as permanent.
inline constexpr int kKXWorkTypeNotSet = 0;
inline constexpr int kKXWorkTypePermanent = 1;
inline constexpr int kKXWorkTypeCasual = 2;
// "TimeZone" before the station has reported one.
inline constexpr int kKXTimeZoneUnknown = 1440;
// The team every user belongs to unless told otherwise; it cannot be deleted.
inline constexpr std::string_view kKXDefaultTeam = "DefaultTeam";

class LKXUser : public LSettingsRecord {
 public:
  LKXUser() = default;
  explicit LKXUser(std::string_view path) : LSettingsRecord(path) {}

  std::string GetText(const LKXUserKey& key);
  bool GetFlag(const LKXUserKey& key);
  int GetNumber(const LKXUserKey& key);
  bool SetText(const LKXUserKey& key, std::string_view value);
  bool SetFlag(const LKXUserKey& key, bool value);
  bool SetNumber(const LKXUserKey& key, int value);

  std::string GetEmail() { return GetText(kKXUserEmail); }
  std::string GetName() { return GetText(kKXUserName); }
  bool IsAdministrator() { return GetFlag(kKXUserAccessAdmin); }
  bool IsAccountant() { return GetFlag(kKXUserAccessHR); }
  bool IsMonitor() { return GetFlag(kKXUserMonitor); }
  bool IsCasual() { return GetNumber(kKXUserWorkType) == kKXWorkTypeCasual; }
  // Only the low seven bits count.
  LWeekDay GetWorkDays();
  int GetTimeZone() { return GetNumber(kKXUserTimeZone); }

  // Log-in check. The address must be this user's (letter case ignored).
  // The current password logs in; so does a non-empty "OldPassword", which
  // then becomes the current password again. On success "OldPassword" is
  // removed and "PasswordReq" set to 0. An empty password never logs in,
  // whatever the record holds: a user added without a password has none.
  bool IdentifyUser(std::string_view email, std::string_view password);
  // The same check, telling a refused password apart from a right one whose
  // record could not be updated (a full disk): that user is not let in
  // either, but must be told why.
  enum class Identified { kNo, kYes, kNotSaved };
  Identified IdentifyUserChecked(std::string_view email, std::string_view password);

  // Whether the activity log or the manual-hours log of the local date of
  // `date` exists for this user.
  bool HasWorkedOnDate(LDateTime date);
  // Whether a row of this user's leave log for the year of `date` runs from
  // a first day at 00:00:00 to a last day at 23:59:59 that enclose `date`,
  // whatever its approval state.
  bool HasLeaveFormOnDate(LDateTime date);

  // A short phrase telling when an absent user is expected back, with the
  // user's normal hours shifted into the viewer's time zone (minutes).
  void GetOfflineTips(int viewer_zone, std::string& out);
  std::string GetOfflineTips(int viewer_zone);
};
