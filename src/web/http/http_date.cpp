#include "web/http/http_date.h"

#include <ctime>

#include "web/text/format_language.h"

std::string LHttpDateText(std::int64_t secondsSince1970) {
  static constexpr const char* kWeekDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t t = static_cast<std::time_t>(secondsSince1970);
  std::tm tm{};
  if (gmtime_r(&t, &tm) == nullptr) return std::string();
  LStringWriter out;
  tplformat(out, "%s, %.2d %s 20%.2d %.2d:%.2d:%.2d GMT", kWeekDays[tm.tm_wday], tm.tm_mday,
            kMonths[tm.tm_mon], tm.tm_year % 100, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return out.Take();
}
