#include "foundation/date_time.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <limits>

#include "foundation/scan_numbers.h"

namespace {

// The fake clock of the tests; kNoFakeNow means the real clock is used.
constexpr std::int64_t kNoFakeNow = std::numeric_limits<std::int64_t>::min();
std::atomic<std::int64_t> gFakeNow{kNoFakeNow};

// A year below 70 is 20xx, a year from 70 to 1899 is 19xx (two-digit years
// and years counted from 1900 both occur in old files), later years as written.
int ExpandYear(int year) {
  if (year < 70) return 2000 + year;
  if (year > 1899) return year;
  return 1900 + year;
}

// mktime with the C library deciding daylight saving. False when the fields
// give no moment or one outside the signed 32-bit range of the type.
bool MakeLocal(struct tm& fields, std::int32_t& out) {
  fields.tm_isdst = -1;
  fields.tm_wday = -1;  // mktime sets it on success; -1 can also be a moment
  const time_t moment = mktime(&fields);
  if (moment == static_cast<time_t>(-1) && fields.tm_wday == -1) return false;
  if (moment < std::numeric_limits<std::int32_t>::min() || moment > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  out = static_cast<std::int32_t>(moment);
  return true;
}

bool LocalFields(std::int32_t seconds, struct tm& out) {
  const time_t moment = seconds;
  return localtime_r(&moment, &out) != nullptr;
}

std::string FormatThree(const char* format, int a, int b, int c) {
  char text[48];
  std::snprintf(text, sizeof(text), format, a, b, c);
  return text;
}

void ScanDayTime(std::string_view text, char separator, std::int32_t& out) {
  int parts[3] = {0, 0, 0};
  LScanSeparatedInts(text, separator, parts, 3);
  const std::int64_t seconds = static_cast<std::int64_t>(parts[0]) * 3600 + static_cast<std::int64_t>(parts[1]) * 60 + parts[2];
  out = static_cast<std::int32_t>(seconds);  // arithmetic nonsense wraps, as the type has no range
}

}  // namespace

// ---- LDayTime ----

void LDayTime::SetText(std::string_view text) { ScanDayTime(text, ':', value); }

void LDayTime::SetTextHHHMMHSS(std::string_view text) { ScanDayTime(text, '-', value); }

void LDayTime::_GetText(std::string& out) const {
  out = FormatThree("%.2d:%.2d:%.2d", value / 3600, (value % 3600) / 60, value % 60);
}

std::string LDayTime::GetText() const {
  std::string text;
  _GetText(text);
  return text;
}

bool LDayTime::ValidateDateHHCMMCSS(std::string_view text) {
  int parts[3] = {0, 0, 0};
  if (LScanSeparatedInts(text, ':', parts, 3) < 2) return false;
  return parts[0] >= 0 && parts[0] <= 23 && parts[1] >= 0 && parts[1] <= 59 && parts[2] >= 0 && parts[2] <= 59;
}

// ---- LDateTime ----

LDateTime LDateTime::Now() {
  const std::int64_t fake = gFakeNow.load(std::memory_order_acquire);
  if (fake != kNoFakeNow) return LDateTime(static_cast<std::int32_t>(fake));
  return LDateTime(static_cast<std::int32_t>(time(nullptr)));
}

void LDateTime::SetFakeNow(std::int32_t seconds) { gFakeNow.store(seconds, std::memory_order_release); }

void LDateTime::ClearFakeNow() { gFakeNow.store(kNoFakeNow, std::memory_order_release); }

bool LDateTime::SetDateTime(std::string_view date, std::string_view time) {
  if (date.empty()) {
    value = 0;
    return true;
  }
  int ymd[3] = {0, 1, 1};
  // A date text without even a year is no date; keeping the old value beats
  // turning "abc" into 2000-01-01.
  if (LScanSeparatedInts(date, '-', ymd, 3) == 0) return false;
  int hms[3] = {0, 0, 0};
  LScanSeparatedInts(time, ':', hms, 3);
  return SetDateTime(ymd[0], ymd[1], ymd[2], hms[0], hms[1], hms[2]);
}

bool LDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  struct tm fields {};
  fields.tm_year = ExpandYear(year) - 1900;
  fields.tm_mon = (month > -1000000000) ? month - 1 : month;  // no int overflow
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  return MakeLocal(fields, value);
}

bool LDateTime::GetLocalTime(struct tm* out) const {
  if (value == 0 || out == nullptr) return false;
  return LocalFields(value, *out);
}

void LDateTime::GetDateTime(std::string& date, std::string& time) const {
  struct tm fields {};
  if (!GetLocalTime(&fields)) {
    date.clear();
    time.clear();
    return;
  }
  date = FormatThree("%.4d-%.2d-%.2d", fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
  time = FormatThree("%.2d:%.2d:%.2d", fields.tm_hour, fields.tm_min, fields.tm_sec);
}

std::string LDateTime::GetDateText() const {
  std::string date, time;
  GetDateTime(date, time);
  return date;
}

std::string LDateTime::GetTimeText() const {
  std::string date, time;
  GetDateTime(date, time);
  return time;
}

std::string LDateTime::GetTimeHHHMMHSS() const {
  struct tm fields {};
  if (!GetLocalTime(&fields)) return std::string();
  return FormatThree("%.2d-%.2d-%.2d", fields.tm_hour, fields.tm_min, fields.tm_sec);
}

LDayTime LDateTime::GetDayTime() const {
  struct tm fields {};
  if (!GetLocalTime(&fields)) return LDayTime();
  return LDayTime::FromHMS(fields.tm_hour, fields.tm_min, fields.tm_sec);
}

bool LDateTime::SetDayTime(LDayTime day_time) {
  struct tm fields {};
  const std::int32_t base = (value != 0) ? value : Now().value;
  if (!LocalFields(base, fields)) return false;
  fields.tm_hour = day_time.value / 3600;
  fields.tm_min = (day_time.value / 60) % 60;
  fields.tm_sec = day_time.value % 60;
  return MakeLocal(fields, value);
}

LWeekDay LDateTime::GetWeekDay() const {
  struct tm fields {};
  if (!GetLocalTime(&fields)) return LWeekDay();
  return LWeekDay::FromIndex(fields.tm_wday);
}

bool LDateTime::AddCalendarDays(int days) {
  struct tm fields {};
  if (!GetLocalTime(&fields)) return false;
  fields.tm_mday += days;
  return MakeLocal(fields, value);
}

bool LDateTime::ValidateDateYYYYHMMHDD(std::string_view text) {
  if (text.empty()) return true;
  int ymd[3] = {0, 0, 0};
  LScanSeparatedInts(text, '-', ymd, 3);
  return ymd[0] >= 1970 && ymd[0] <= 2038 && ymd[1] >= 1 && ymd[1] <= 12 && ymd[2] >= 1 && ymd[2] <= 31;
}
