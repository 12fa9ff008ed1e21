#pragma once
// The user list as a CSV file, shared by the control window's export and
// import and by the control panel's. No header line, one line per user
// ending CR LF, eleven columns (doc/user_list_csv.md):
//
//   Email, "Name", "Password", "OldPassword", AccessAdmin, AccessHR,
//   PasswordReq, "Team", "Manager", "LeaveAllowanceDays", "LeaveCarryOverDays"
//
// Files written before the leave columns have nine; a line without them
// leaves the user's leave keys as they are.
//
// The control window moves whole profiles, passwords included; the control
// panel never shows a password, so its export leaves those two columns
// empty and its import never sets them.

#include <string>
#include <string_view>
#include <vector>

#include "model/new_user.h"

struct LKXUserListCSVRow {
  std::string email;
  std::string name;
  std::string password;
  std::string oldPassword;
  bool admin = false;
  bool accountant = false;
  bool passwordReq = false;
  std::string team;
  std::string manager;
  bool leaveColumns = false;  // the line has the two leave columns
  std::string leaveAllowance;
  std::string leaveCarryOver;
};

inline constexpr int kKXUserListCSVLockTimeoutMs = 5000;

// One line, without its line end.
std::string KXUserListCSVLine(const LKXUserListCSVRow& row);
// The columns of one line; the flags are true for any number but 0. Every
// text is cleaned as the registry stores it. False when the line names no
// address.
bool KXParseUserListCSVLine(std::string_view line, LKXUserListCSVRow& row);
// Every line of `text` that names an address, in order (LF, CR or CR LF
// line ends, empty lines skipped).
std::vector<LKXUserListCSVRow> KXParseUserListCSV(std::string_view text);

// Every user in registry order; the password columns only when asked for.
std::vector<LKXUserListCSVRow> KXUserListCSVRows(bool withPasswords);
// The file's bytes for `rows`.
std::string KXUserListCSVText(const std::vector<LKXUserListCSVRow>& rows);

// Writes every user, passwords included, to `path` (replacing it) under an
// exclusive lock. False when the file could not be written whole.
[[nodiscard]] bool KXExportUserList(const std::string& path);
// Reads `path` under a shared lock and stores each row: into the user
// with that address when there is one, else into a new record. All nine
// columns are stored, passwords included. Users not in the file are kept.
// The number of rows stored, or -1 when a row could not be stored.
int KXImportUserList(const std::string& path);

// Stores one row; a new user is made by KXCreateUser and works `workDays`
// (the file has no such column). `withPasswords` false leaves "Password"
// and "OldPassword" of an existing user alone and gives a new user a fresh
// random password (with "PasswordReq" set, so that the user is mailed it).
[[nodiscard]] bool KXStoreUserListRow(const LKXUserListCSVRow& row, bool withPasswords,
                                      int workDays = kKXNewUserWorkDays);
