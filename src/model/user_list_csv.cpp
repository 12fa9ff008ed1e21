#include "model/user_list_csv.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "foundation/csv_formula_guard.h"
#include "foundation/csv_reader.h"
#include "foundation/csv_writer.h"
#include "foundation/file_modes.h"
#include "foundation/locked_file.h"
#include "foundation/write_all.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"

namespace {

// The address is a plain column; one that a plain column cannot carry
// (the registry does not stop a hand-edited record from holding one) is
// written quoted, which every reader takes back the same way.
bool FitsPlainColumn(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == '"' || static_cast<unsigned char>(c) <= 0x20) return false;
  }
  return true;
}

LKXUserListCSVRow RowOf(LKXUser& user, bool withPasswords) {
  LKXUserListCSVRow row;
  row.email = user.GetEmail();
  row.name = user.GetName();
  if (withPasswords) {
    row.password = user.GetText(kKXUserPassword);
    row.oldPassword = user.GetText(kKXUserOldPassword);
  }
  row.admin = user.IsAdministrator();
  row.accountant = user.IsAccountant();
  row.passwordReq = user.GetFlag(kKXUserPasswordReq);
  row.team = user.GetText(kKXUserTeam);
  row.manager = user.GetText(kKXUserManager);
  row.leaveColumns = true;
  row.leaveAllowance = user.GetText(kKXUserLeaveAllowanceDays);
  row.leaveCarryOver = user.GetText(kKXUserLeaveCarryOverDays);
  return row;
}

}  // namespace

std::string KXUserListCSVLine(const LKXUserListCSVRow& row) {
  LCSVWriterRow out;
  const auto text = [&out](const std::string& value) { out.AddCol(LCSVGuardFormula(value)); };
  const std::string email = LCSVGuardFormula(row.email);
  if (FitsPlainColumn(email)) {
    out.AddColDirect(email);
  } else {
    out.AddCol(email);
  }
  text(row.name);
  text(row.password);
  text(row.oldPassword);
  out.AddCol(row.admin ? 1 : 0);
  out.AddCol(row.accountant ? 1 : 0);
  out.AddCol(row.passwordReq ? 1 : 0);
  text(row.team);
  text(row.manager);
  if (row.leaveColumns) {
    text(row.leaveAllowance);
    text(row.leaveCarryOver);
  }
  return out.Text();
}

bool KXParseUserListCSVLine(std::string_view line, LKXUserListCSVRow& row) {
  row = LKXUserListCSVRow();
  LCSVReaderRow columns(line);
  std::string email, name, password, oldPassword, team, manager;
  columns.GetCol(email);
  columns.GetCol(name);
  columns.GetCol(password);
  columns.GetCol(oldPassword);
  row.admin = columns.GetCol() != 0;
  row.accountant = columns.GetCol() != 0;
  row.passwordReq = columns.GetCol() != 0;
  columns.GetCol(team);
  columns.GetCol(manager);
  std::string allowance, carryOver;
  row.leaveColumns = columns.GetCol(allowance);
  columns.GetCol(carryOver);
  // The export's formula guard comes off before the registry's cleaning.
  const auto clean = [](const std::string& cell) { return KXCleanRegistryText(LCSVUnguardFormula(cell)); };
  row.leaveAllowance = clean(allowance);
  row.leaveCarryOver = clean(carryOver);
  row.email = clean(email);
  row.name = clean(name);
  row.password = clean(password);
  row.oldPassword = clean(oldPassword);
  row.team = clean(team);
  row.manager = clean(manager);
  return !row.email.empty();
}

std::vector<LKXUserListCSVRow> KXParseUserListCSV(std::string_view text) {
  std::vector<LKXUserListCSVRow> rows;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, std::min(end - start, LCSVFileReader::kMaxLine));
    LKXUserListCSVRow row;
    if (!line.empty() && KXParseUserListCSVLine(line, row)) rows.push_back(std::move(row));
    start = end + 1;
  }
  return rows;
}

std::vector<LKXUserListCSVRow> KXUserListCSVRows(bool withPasswords) {
  std::vector<LKXUserListCSVRow> rows;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) rows.push_back(RowOf(it.Get(), withPasswords));
  return rows;
}

std::string KXUserListCSVText(const std::vector<LKXUserListCSVRow>& rows) {
  std::string text;
  for (const LKXUserListCSVRow& row : rows) {
    text += KXUserListCSVLine(row);
    text += "\r\n";
  }
  return text;
}

bool KXExportUserList(const std::string& path) {
  const std::string text = KXUserListCSVText(KXUserListCSVRows(true));
  LLockedFile file;
  // Truncated only once locked, so a reader never sees half a list.
  if (!LOpenLockedFile(path, O_WRONLY | O_CREAT, kLDataFileMode, LOCK_EX, kKXUserListCSVLockTimeoutMs, file)) {
    return false;
  }
  return ::ftruncate(file.fd.Get(), 0) == 0 && LWriteAll(file.fd.Get(), text);
}

int KXImportUserList(const std::string& path) {
  LCSVFileReader reader(path, kKXUserListCSVLockTimeoutMs);
  int stored = 0;
  while (reader.Next()) {
    LKXUserListCSVRow row;
    if (!KXParseUserListCSVLine(reader.Line(), row)) continue;
    if (!KXStoreUserListRow(row, true)) return -1;
    ++stored;
  }
  return stored;
}

bool KXStoreUserListRow(const LKXUserListCSVRow& row, bool withPasswords, int workDays) {
  LKXUser user;
  const bool exists = KXGetUser(row.email, user);
  if (!exists) {
    LKXNewUser added;
    added.email = row.email;
    added.name = row.name;
    added.admin = row.admin;
    added.accountant = row.accountant;
    added.team = row.team;
    added.manager = row.manager;
    if (withPasswords) added.password = row.password;
    added.workDays = workDays;
    if (!KXCreateUser(added) || !KXGetUser(row.email, user)) return false;
  }
  bool ok = user.SetText(kKXUserName, row.name);
  ok = user.SetFlag(kKXUserAccessAdmin, row.admin) && ok;
  ok = user.SetFlag(kKXUserAccessHR, row.accountant) && ok;
  ok = user.SetText(kKXUserTeam, row.team) && ok;
  // A new user of the panel's file without managers keeps the one the
  // registry gives (the last administrator), as on the add-user form.
  if (exists || withPasswords || !row.manager.empty()) ok = user.SetText(kKXUserManager, row.manager) && ok;
  if (row.leaveColumns) {
    ok = user.SetText(kKXUserLeaveAllowanceDays, row.leaveAllowance) && ok;
    ok = user.SetText(kKXUserLeaveCarryOverDays, row.leaveCarryOver) && ok;
  }
  if (withPasswords) {
    ok = user.SetText(kKXUserPassword, row.password) && ok;
    ok = user.SetText(kKXUserOldPassword, row.oldPassword) && ok;
    ok = user.SetFlag(kKXUserPasswordReq, row.passwordReq) && ok;
  } else if (!exists || row.passwordReq) {
    // A new user must learn the password; an existing one's pending
    // request is never withdrawn by a file.
    ok = user.SetFlag(kKXUserPasswordReq, true) && ok;
  }
  return ok;
}
