#include "web/pages/hours/report_dates.h"

#include <cstdio>
#include <ctime>

namespace {

bool ReadDigits(std::string_view text, std::size_t from, std::size_t count, int& out) {
  out = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool KXReadReportDate(std::string_view text, std::string_view clock, LDateTime& out) {
  int year = 0, month = 0, day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!ReadDigits(text, 0, 4, year) || !ReadDigits(text, 5, 2, month) || !ReadDigits(text, 8, 2, day)) return false;
  if (!LDateTime::ValidateDateYYYYHMMHDD(text)) return false;
  LDateTime moment;
  if (!moment.SetDateTime(text, clock)) return false;
  // The setter rolls a day past the month's end into the next month.
  struct tm fields {};
  if (!moment.GetLocalTime(&fields)) return false;
  if (fields.tm_year + 1900 != year || fields.tm_mon + 1 != month || fields.tm_mday != day) return false;
  out = moment;
  return true;
}

std::string KXClockText(std::int32_t seconds) {
  if (seconds < 0 || seconds > 99 * 3600 + 59 * 60 + 59) return LDayTime(seconds).GetText();
  const int parts[3] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
  std::string text = "00:00:00";
  for (int i = 0; i < 3; ++i) {
    text[static_cast<std::size_t>(i * 3)] = static_cast<char>('0' + parts[i] / 10);
    text[static_cast<std::size_t>(i * 3 + 1)] = static_cast<char>('0' + parts[i] % 10);
  }
  return text;
}

std::string KXMinutesText(long long minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld", minutes / 60, minutes % 60);
  return text;
}

std::string KXSignedMinutesText(long long minutes) {
  if (minutes == 0) return KXMinutesText(0);
  return (minutes < 0 ? "-" : "+") + KXMinutesText(minutes < 0 ? -minutes : minutes);
}

std::string KXDaySecondsHHMM(long long seconds) { return KXMinutesText(seconds / 60); }
