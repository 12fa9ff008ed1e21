#pragma once
// How many leave days a user has left in a year:
//
//   allowance + days carried over from the year before
//             - leave days of the approved records that count against it
//
// The allowance is the user's "LeaveAllowanceDays", or when that is empty the
// organisation's "DefaultLeaveAllowanceDays"; when both are empty no
// allowance is kept for the user and there is no balance to show. Days are
// counted as the leave form counts them (CalculateHolidaysTaken), each record
// in the year of its log, so a leave across the year end counts its
// December days in the old year and its January days in the new. A leave
// type counts when its record in "LeaveTypes" says "CountsAgainstAllowance";
// without that key only the default type "holiday" counts.

#include <string>
#include <string_view>
#include <vector>

#include "model/leave_log.h"

class LKXUser;

inline constexpr char kKXLeaveTypeCountsKey[] = "CountsAgainstAllowance";
// The default leave type that counts when its record does not say.
inline constexpr char kKXCountingLeaveTypeDefault[] = "holiday";
// The most days a year an allowance or a carry-over may hold.
inline constexpr int kKXMaxLeaveAllowanceDays = 366;

struct LKXLeaveBalance {
  bool kept = false;  // false: no allowance is kept for the user
  int allowance = 0;
  int carriedOver = 0;
  int taken = 0;

  int Available() const { return allowance + carriedOver; }
  int Left() const { return Available() - taken; }
};

// What a balance needs besides the user's own record and logs, read once
// for a page that shows many balances.
class LKXLeaveCounting {
 public:
  LKXLeaveCounting();  // reads the holidays, the leave types and the approval rule

  const LKXHolidayCalendar& Holidays() const { return holidays_; }
  // Whether records of that type (letter case ignored) count.
  bool Counts(std::string_view type) const;
  // Whether the record is taken leave: approved, or not disapproved while
  // leave needs no approval (such records are never decided).
  bool Taken(const LKXLeaveRecord& record) const;
  // Leave days of the part of `start`..`end` that lies in `year`.
  int DaysInYear(std::string_view start, std::string_view end, int year) const;

 private:
  LKXHolidayCalendar holidays_;
  std::vector<std::string> counting_;
  bool approvalRequired_ = true;
};

// The balance of `user` in `year` (four digits).
LKXLeaveBalance KXLeaveBalance(LKXUser& user, int year, const LKXLeaveCounting& counting);
LKXLeaveBalance KXLeaveBalance(LKXUser& user, int year);

// Whether the leave type record says it counts, with the default above.
bool KXLeaveTypeCounts(std::string_view name, std::string_view countsValue);
// Sets a leave type's "CountsAgainstAllowance"; false when there is no such type.
bool KXSetLeaveTypeCounts(std::string_view name, bool counts);

// "LeaveCarryOverDays" holds "year:days" items joined by ",". The days of
// `year` (0 when not listed), and the list with `year`'s days replaced
// (removed when `days` is 0).
int KXCarryOverDaysOf(std::string_view list, int year);
std::string KXWithCarryOverDays(std::string_view list, int year, int days);
// Whether a typed allowance or carry-over is whole days from 0 to
// kKXMaxLeaveAllowanceDays; an empty allowance is allowed by the callers.
bool KXIsLeaveDaysText(std::string_view text);
// Whether a carry-over list as the user list file carries it is well formed.
bool KXIsCarryOverList(std::string_view list);

// "You have 12 of 25 days left in 2026" and the like: "1 day", "2 days".
std::string KXDaysText(int days);
