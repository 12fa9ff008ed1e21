#include "model/public_holidays.h"

#include "model/registry_lists.h"

namespace {

constexpr std::string_view kStartKey = "StartDate";
constexpr std::string_view kEndKey = "EndDate";
constexpr std::string_view kCommentKey = "Comment";
constexpr std::string_view kDayStart = "00:00:00";
constexpr std::string_view kDayEnd = "23:59:59";

// The moment of `date` at `clock`; unset for empty or unreadable text.
LDateTime At(std::string_view date, std::string_view clock) {
  LDateTime moment;
  if (date.empty() || !moment.SetDateTime(date, clock)) return LDateTime();
  return moment;
}

// The start of the local day of `moment`.
LDateTime DayOf(LDateTime moment) { return At(moment.GetDateText(), kDayStart); }

bool OverlapsExisting(LDateTime start_day, LDateTime end_day) {
  for (LKXPlainListIterator it(gKXPublicHolidayList); it.Next();) {
    const LDateTime s = At(it.Get().GetString(kStartKey), kDayStart);
    const LDateTime e = At(it.Get().GetString(kEndKey), kDayStart);
    if (!s.IsSet() || !e.IsSet()) continue;  // a record no date can fall on
    if (start_day <= e && s <= end_day) return true;
  }
  return false;
}

bool AddDays(LDateTime start_day, LDateTime end_day, std::string_view comment) {
  if (!start_day.IsSet() || !end_day.IsSet() || end_day < start_day) return false;
  LKXRegistryLock lock;
  if (OverlapsExisting(start_day, end_day)) return false;
  LKXPlainList holidays = gKXPublicHolidayList;
  LSettingsRecord holiday;
  const int id = holidays.Add(holiday);
  if (id < 0) return false;
  const std::string start = start_day.GetDateText();
  const std::string end = end_day.GetDateText();
  const std::string note(comment);
  const bool written = holiday.Modify([&](LSettingsEntries& entries) {
    entries.Set(LSettingsLowerCase(kStartKey), start);
    entries.Set(LSettingsLowerCase(kEndKey), end);
    entries.Set(LSettingsLowerCase(kCommentKey), LSettingsCleanValue(note));
    return true;
  });
  if (written) return true;
  holidays.Remove(id);
  return false;
}

bool IsValidDateText(std::string_view date) {
  return !date.empty() && LDateTime::ValidateDateYYYYHMMHDD(date);
}

}  // namespace

bool KXAddPublicHoliday(LDateTime start, LDateTime end, std::string_view comment) {
  if (!start.IsSet() || !end.IsSet()) return false;
  return AddDays(DayOf(start), DayOf(end), comment);
}

bool KXAddPublicHoliday(std::string_view start, std::string_view end, std::string_view comment) {
  if (!IsValidDateText(start) || !IsValidDateText(end)) return false;
  return AddDays(At(start, kDayStart), At(end, kDayStart), comment);
}

bool KXIsPublicHoliday(LDateTime moment) {
  if (!moment.IsSet()) return false;
  for (LKXPlainListIterator it(gKXPublicHolidayList); it.Next();) {
    const LDateTime s = At(it.Get().GetString(kStartKey), kDayStart);
    const LDateTime e = At(it.Get().GetString(kEndKey), kDayEnd);
    if (s.IsSet() && e.IsSet() && s <= moment && moment <= e) return true;
  }
  return false;
}

bool KXIsPublicHoliday(std::string_view date) {
  if (!IsValidDateText(date)) return false;
  return KXIsPublicHoliday(At(date, kDayStart));
}

bool KXDeletePublicHoliday(std::string_view start, std::string_view end) {
  LKXRegistryLock lock;
  LKXPlainList holidays = gKXPublicHolidayList;
  for (LKXPlainListIterator it(holidays); it.Next();) {
    if (it.Get().GetString(kStartKey) == start && it.Get().GetString(kEndKey) == end) {
      return holidays.Remove(it.GetID());
    }
  }
  return false;
}

int KXPublicHolidayCount() {
  LKXPlainList holidays = gKXPublicHolidayList;
  return holidays.Count();
}

std::vector<LKXPublicHoliday> KXGetPublicHolidays() {
  std::vector<LKXPublicHoliday> all;
  for (LKXPlainListIterator it(gKXPublicHolidayList); it.Next();) {
    all.push_back({it.Get().GetString(kStartKey), it.Get().GetString(kEndKey), it.Get().GetString(kCommentKey)});
  }
  return all;
}
