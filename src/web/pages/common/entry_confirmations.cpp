#include "web/pages/common/entry_confirmations.h"

#include <cstdio>
#include <vector>

#include "model/org_settings.h"
#include "model/registry_text.h"
#include "model/users.h"

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct DateParts {
  std::string year;
  int month = 1;
  int day = 1;
};

int TwoDigits(const std::string& text, std::size_t at) {
  if (at + 2 > text.size()) return 1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

DateParts Parts(const std::string& date) {
  DateParts parts;
  parts.year = date.substr(0, 4);
  parts.month = TwoDigits(date, 5);
  parts.day = TwoDigits(date, 8);
  return parts;
}

std::string DayMonth(const DateParts& date) {
  const bool known = date.month >= 1 && date.month <= 12;
  return std::to_string(date.day) + " " + (known ? kMonths[date.month - 1] : "");
}

// "A", "A and B", "A, B and C".
std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

std::vector<std::string> ManagerNames(LKXUser& user) {
  std::vector<std::string> names;
  for (const std::string& address : KXCommaListItems(user.GetText(kKXUserManager))) {
    LKXUser manager;
    names.push_back(KXGetUser(address, manager) ? manager.GetName() : address);
  }
  return names;
}

}  // namespace

std::string KXManualEntrySavedText(int durationSeconds, const std::string& date, const LKXEntryOwner& owner) {
  char duration[16];
  const int hours = durationSeconds / 3600;
  const int minutes = durationSeconds / 60 % 60;
  const int seconds = durationSeconds % 60;
  if (seconds != 0) {
    std::snprintf(duration, sizeof duration, "%02d:%02d:%02d", hours, minutes, seconds);
  } else {
    std::snprintf(duration, sizeof duration, "%02d:%02d", hours, minutes);
  }
  return std::string("Manual entry of ") + duration + " on " + date + (owner.other ? " for " + owner.name : "") +
         " saved.";
}

std::string KXLeaveDaysText(const std::string& from, const std::string& to) {
  const DateParts first = Parts(from);
  const DateParts last = Parts(to);
  if (first.year != last.year) return DayMonth(first) + " " + first.year + "-" + DayMonth(last) + " " + last.year;
  if (first.month != last.month) return DayMonth(first) + "-" + DayMonth(last);
  if (first.day != last.day) return std::to_string(first.day) + "-" + DayMonth(last);
  return DayMonth(first);
}

std::string KXLeaveSentText(LKXUser& user, bool own, const std::string& from, const std::string& to) {
  const std::string application = (own ? std::string("Your leave application") : "The leave application of " +
                                                                                    user.GetName()) +
                                  " for " + KXLeaveDaysText(from, to);
  if (!KXOrgGetBool(LKXOrg::kLeaveApprovalRequired)) return application + " was recorded; it needs no approval.";
  const std::vector<std::string> managers = ManagerNames(user);
  if (managers.empty()) {
    return application + " was recorded; " + (own ? "you have" : user.GetName() + " has") +
           " no manager to approve it.";
  }
  return application + " was sent to " + JoinNames(managers) + " for approval.";
}
