#include "web/pages/hours/manual_page_support.h"

#include <cctype>

#include "foundation/date_time.h"

namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool KXParseClock(std::string_view text, int& seconds) {
  int hour = 0, minute = 0, second = 0;
  if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !Digits(text, 0, 2, hour) ||
      !Digits(text, 3, 2, minute) || !Digits(text, 6, 2, second)) {
    return false;
  }
  if (minute > 59 || second > 59 || hour > 24) return false;
  seconds = hour * 3600 + minute * 60 + second;
  return seconds <= LDateTime::kOneDay;
}
