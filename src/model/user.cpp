#include "model/user.h"

#include <unistd.h>

#include "foundation/csv_reader.h"
#include "foundation/scan_numbers.h"
#include "foundation/settings_parse.h"
#include "model/archive_paths.h"
#include "model/registry_text.h"

namespace {

bool DefaultFlag(const LKXUserKey& key) { return !key.default_text.empty() && key.default_text[0] != '0'; }

// Readers of the work logs wait as long for their shared lock as writers
// wait for their exclusive one.
constexpr int kLeaveLogReadLockMs = 5000;

// A day's bounds are built from its date text with these clock times.
constexpr std::string_view kDayStart = "00:00:00";
constexpr std::string_view kDayEnd = "23:59:59";

bool RowEnclosesDate(const std::string& line, LDateTime date) {
  LCSVReaderRow row(line);
  std::string first, last;
  row.GetCols(first, last);
  LDateTime from, to;
  if (first.empty() || last.empty()) return false;
  if (!from.SetDateTime(first, kDayStart) || !to.SetDateTime(last, kDayEnd)) return false;
  return from <= date && date <= to;
}

}  // namespace

std::string LKXUser::GetText(const LKXUserKey& key) {
  std::string value;
  GetString(key.name, {}, value);
  if (value.empty()) value = key.default_text;
  return value;
}

bool LKXUser::GetFlag(const LKXUserKey& key) { return GetBool(key.name, DefaultFlag(key)); }

int LKXUser::GetNumber(const LKXUserKey& key) { return GetInt(key.name, LAtoi(key.default_text)); }

bool LKXUser::SetText(const LKXUserKey& key, std::string_view value) { return SetString(key.name, value); }

bool LKXUser::SetFlag(const LKXUserKey& key, bool value) { return SetBool(key.name, value); }

bool LKXUser::SetNumber(const LKXUserKey& key, int value) { return SetInt(key.name, value); }

LWeekDay LKXUser::GetWorkDays() {
  return LWeekDay(static_cast<std::uint8_t>(GetNumber(kKXUserWorkDays) & LWeekDay::kAllDays));
}

bool LKXUser::IdentifyUser(std::string_view email, std::string_view password) {
  return IdentifyUserChecked(email, password) == Identified::kYes;
}

LKXUser::Identified LKXUser::IdentifyUserChecked(std::string_view email, std::string_view password) {
  if (password.empty()) return Identified::kNo;
  const std::string wanted = KXCleanRegistryText(email);
  if (wanted.empty()) return Identified::kNo;
  const std::string email_key = LSettingsLowerCase(kKXUserEmail.name);
  const std::string password_key = LSettingsLowerCase(kKXUserPassword.name);
  const std::string old_key = LSettingsLowerCase(kKXUserOldPassword.name);
  const std::string request_key = LSettingsLowerCase(kKXUserPasswordReq.name);
  bool identified = false;
  // Checked and updated under the record's own lock, so that a password
  // changed at the same moment is either seen or not, never half.
  const bool saved = Modify([&](LSettingsEntries& entries) {
    identified = false;
    const std::string* stored_email = entries.Find(email_key);
    if (stored_email == nullptr || !KXSameName(*stored_email, wanted)) return false;
    const std::string* current = entries.Find(password_key);
    const std::string* old = entries.Find(old_key);
    const std::string old_password = old != nullptr ? *old : std::string();
    bool changed = false;
    if (current != nullptr && *current == password) {
      identified = true;
    } else if (!old_password.empty() && old_password == password) {
      // A reset password not yet used: the user remembered the old one.
      identified = true;
      changed = entries.Set(password_key, old_password);
    } else {
      return false;
    }
    changed = entries.Remove(old_key) || changed;
    changed = entries.Set(request_key, "0") || changed;
    return changed;
  });
  if (!identified) return Identified::kNo;
  return saved ? Identified::kYes : Identified::kNotSaved;
}

bool LKXUser::HasWorkedOnDate(LDateTime date) {
  const std::string email = GetEmail();
  for (const std::string& path : {KXUserActivityLogPath(email, date), KXUserManualLogPath(email, date)}) {
    if (!path.empty() && access(path.c_str(), F_OK) == 0) return true;
  }
  return false;
}

bool LKXUser::HasLeaveFormOnDate(LDateTime date) {
  const std::string path = KXUserLeaveLogPath(GetEmail(), date);
  if (path.empty()) return false;
  LCSVFileReader reader(path, kLeaveLogReadLockMs);
  while (reader.Next()) {
    if (RowEnclosesDate(reader.Line(), date)) return true;
  }
  return false;
}
