#include "model/leave_balance.h"

#include <algorithm>
#include <cstdlib>

#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/user.h"

namespace {

constexpr std::string_view kNameKey = "Name";

// The days of a "year:days" item; false when the item is not one.
bool ParseCarryOverItem(std::string_view item, int& year, int& days) {
  const std::size_t colon = item.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view yearText = item.substr(0, colon);
  const std::string_view daysText = item.substr(colon + 1);
  if (!KXIsYearText(yearText) || !KXIsLeaveDaysText(daysText)) return false;
  year = std::atoi(std::string(yearText).c_str());
  days = std::atoi(std::string(daysText).c_str());
  return true;
}

std::string DayText(int year, const char* monthDay) { return std::to_string(year) + monthDay; }

}  // namespace

LKXLeaveCounting::LKXLeaveCounting() : approvalRequired_(KXOrgGetBool(LKXOrg::kLeaveApprovalRequired)) {
  for (LKXPlainListIterator it(gKXLeaveTypeList); it.Next();) {
    const std::string name = it.Get().GetString(kNameKey);
    if (KXLeaveTypeCounts(name, it.Get().GetString(kKXLeaveTypeCountsKey))) counting_.push_back(name);
  }
}

bool LKXLeaveCounting::Counts(std::string_view type) const {
  return std::any_of(counting_.begin(), counting_.end(),
                     [&](const std::string& name) { return KXSameName(name, type); });
}

bool LKXLeaveCounting::Taken(const LKXLeaveRecord& record) const {
  return record.IsApproved() || (!approvalRequired_ && !record.IsDisapproved());
}

int LKXLeaveCounting::DaysInYear(std::string_view start, std::string_view end, int year) const {
  if (!KXIsDateText(start) || !KXIsDateText(end)) return 0;
  // Dates in the "YYYY-MM-DD" form compare as text.
  const std::string first = std::max(std::string(start), DayText(year, "-01-01"));
  const std::string last = std::min(std::string(end), DayText(year, "-12-31"));
  if (last < first) return 0;
  return CalculateHolidaysTaken(first, last, holidays_);
}

LKXLeaveBalance KXLeaveBalance(LKXUser& user, int year, const LKXLeaveCounting& counting) {
  LKXLeaveBalance balance;
  std::string allowance = user.GetText(kKXUserLeaveAllowanceDays);
  if (allowance.empty()) allowance = KXOrgGetText(LKXOrg::kDefaultLeaveAllowanceDays);
  if (allowance.empty()) return balance;
  balance.kept = true;
  balance.allowance = std::clamp(std::atoi(allowance.c_str()), 0, kKXMaxLeaveAllowanceDays);
  balance.carriedOver = KXCarryOverDaysOf(user.GetText(kKXUserLeaveCarryOverDays), year);
  const std::string yearText = std::to_string(year);
  for (const LKXLeaveRecord& record : KXReadLeaveLog(user.GetEmail(), yearText)) {
    if (counting.Taken(record) && counting.Counts(record.type)) {
      balance.taken += counting.DaysInYear(record.start, record.end, year);
    }
  }
  return balance;
}

LKXLeaveBalance KXLeaveBalance(LKXUser& user, int year) { return KXLeaveBalance(user, year, LKXLeaveCounting()); }

bool KXLeaveTypeCounts(std::string_view name, std::string_view countsValue) {
  if (countsValue.empty()) return KXSameName(name, kKXCountingLeaveTypeDefault);
  return countsValue[0] != '0';
}

bool KXSetLeaveTypeCounts(std::string_view name, bool counts) {
  LKXRegistryLock lock;
  for (LKXPlainListIterator it(gKXLeaveTypeList); it.Next();) {
    if (KXSameName(it.Get().GetString(kNameKey), name)) {
      return it.Get().SetString(kKXLeaveTypeCountsKey, std::string_view(counts ? "1" : "0"));
    }
  }
  return false;
}

int KXCarryOverDaysOf(std::string_view list, int year) {
  for (const std::string& item : KXCommaListItems(list)) {
    int itemYear = 0, days = 0;
    if (ParseCarryOverItem(item, itemYear, days) && itemYear == year) return days;
  }
  return 0;
}

std::string KXWithCarryOverDays(std::string_view list, int year, int days) {
  std::string out;
  bool placed = false;
  const auto add = [&](int itemYear, int itemDays) {
    if (itemDays == 0) return;
    if (!out.empty()) out += ',';
    out += std::to_string(itemYear) + ":" + std::to_string(itemDays);
  };
  // Kept in year order, so that the record reads as a history.
  for (const std::string& item : KXCommaListItems(list)) {
    int itemYear = 0, itemDays = 0;
    if (!ParseCarryOverItem(item, itemYear, itemDays) || itemYear == year) continue;
    if (!placed && itemYear > year) {
      add(year, days);
      placed = true;
    }
    add(itemYear, itemDays);
  }
  if (!placed) add(year, days);
  return out;
}

bool KXIsLeaveDaysText(std::string_view text) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::atoi(std::string(text).c_str()) <= kKXMaxLeaveAllowanceDays;
}

bool KXIsCarryOverList(std::string_view list) {
  for (const std::string& item : KXCommaListItems(list)) {
    int year = 0, days = 0;
    if (!ParseCarryOverItem(item, year, days)) return false;
  }
  return true;
}

std::string KXDaysText(int days) { return std::to_string(days) + (days == 1 || days == -1 ? " day" : " days"); }
