#include "web/pages/manual_page_support.h"

#include <cctype>
#include <cstdio>

#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/weblet_form.h"

namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool SameAddress(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

void KXCopyParamsToSession(LWebletForm& form, std::span<const LKXSessionCopy> table) {
  for (const LKXSessionCopy& row : table) {
    const std::string value = form.Params().GetParm(row.from);
    if (!value.empty()) form.Session().SetParm(row.to, value);
  }
}

bool KXParseDay(std::string_view text, const char* time, LDateTime& out) {
  int year = 0, month = 0, day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4, year) ||
      !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) || !LDateTime::ValidateDateYYYYHMMHDD(text)) {
    return false;
  }
  LDateTime moment;
  // A day that does not exist rolls over into the next month; the text
  // then differs from the date it names.
  if (!moment.SetDateTime(text, time) || moment.GetDateText() != text) return false;
  out = moment;
  return true;
}

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

std::string KXClockText(int seconds) {
  char text[16];
  snprintf(text, sizeof text, "%.2d:%.2d:%.2d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
  return text;
}

bool KXMayViewUserHours(LKXUser& viewer, std::string_view email) {
  const std::string mine = viewer.GetEmail();
  if (mine.empty() || email.empty()) return false;
  if (SameAddress(mine, email) || viewer.IsAdministrator() || viewer.IsAccountant()) return true;
  return viewer.IsManagerOf(email);
}

bool KXChooseShownUser(LKXUser& viewer, std::string_view requested, LKXUser& shown) {
  if (!requested.empty() && KXGetUser(requested, shown)) return true;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string email = user.GetEmail();
    if (!email.empty() && KXMayViewUserHours(viewer, email)) return KXGetUser(email, shown);
  }
  return false;
}
