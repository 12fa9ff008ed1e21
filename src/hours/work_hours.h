#pragma once
// Worked time of one user: the day's activity and manual-hours logs laid out
// as typed periods (time_period_list.h), the gaps filled by the tolerance
// rule, and the periods summed into minutes. Time sheets and hours pages
// show the periods and sums; the maintenance jobs sum days into weeks and
// months. All times of day are the raw clock times of the logs.
//
// Nothing here keeps state between calls; the functions may run on any
// thread at once. Logs are read under a shared lock (5000 ms).

#include <cstdint>
#include <string_view>

#include "foundation/date_time.h"
#include "hours/time_period_list.h"

class LKXUser;

struct LWorkHoursData {
  std::int32_t first_start = 0;  // earliest start of a period that is not private
  std::int32_t last_end = 0;     // latest end of a period that is not private
  std::int32_t active_mins = 0;
  std::int32_t manual_mins = 0;
  std::int32_t idle_mins = 0;
  std::int32_t private_mins = 0;
  std::int32_t break_mins = 0;
  std::int32_t total_mins = 0;
  bool operator==(const LWorkHoursData&) const = default;

  // Adds a worked day to a range's totals; a day without work changes
  // nothing, so its zero start cannot become the range's first start.
  void AddWorkedDay(const LWorkHoursData& day) {
    if (day.total_mins <= 0) return;
    first_start = first_start < day.first_start ? first_start : day.first_start;
    last_end = last_end > day.last_end ? last_end : day.last_end;
    active_mins += day.active_mins;
    manual_mins += day.manual_mins;
    idle_mins += day.idle_mins;
    private_mins += day.private_mins;
    break_mins += day.break_mins;
    total_mins += day.total_mins;
  }
};

// Activity rows of an hour or longer are left out of the hours: a station
// that lost its user's input for that long reports no work.
inline constexpr int kKXLongestActivityRow = 3600;
// How long a reader waits for a station's append to finish.
inline constexpr int kKXLogReadLockMs = 5000;

class LKXReport {
 public:
  // Adds the activity rows of the local date of `date` with AddPeriod, in
  // file order: rows with key strokes or clicks and a duration of 1 to 3599
  // seconds, private when flag bit 0 is set, else active. Rows whose start
  // is not a time of the day (0 to 23:59:59) are skipped.
  static void LoadActiveHours(LTimePeriodList& list, std::string_view email, LDateTime date);
  // Overwrites with the manual-hours rows of that date, private or manual.
  // A row of no positive duration or a start outside the day is skipped; a
  // row that runs past midnight ends at midnight.
  static void LoadManualHours(LTimePeriodList& list, std::string_view email, LDateTime date);
  // Fills the gaps between periods: shorter than the tolerance ("ToleranceTime",
  // 8 minutes here when missing) idle, or private after a private period;
  // from the tolerance up to the maximum break ("MaxBreakMins") a break;
  // longer ones stay empty, as do the ends of the day.
  static void AddToleranceTime(LTimePeriodList& list);
  // The same with the tolerance and maximum break given in seconds.
  static void AddToleranceTime(LTimePeriodList& list, std::int32_t tolerance, std::int32_t max_break);

  // Loads, classifies and sums one day. `list` is left with the day's
  // periods, adjacent ones of one type joined. When no user has the address
  // the list holds the logs' periods and `data` is left as it was.
  static void LKXCalculateHours(LTimePeriodList& list, std::string_view email, LDateTime date, LWorkHoursData& data);
  static void LKXCalculateHours(std::string_view email, LDateTime date, LWorkHoursData& data);
  // One day of a user the caller has already looked up: reports that walk
  // many days of one user read the record once, not once a day. `list` is
  // cleared first and left with the day's joined periods.
  static void LKXCalculateHours(LTimePeriodList& list, LKXUser& user, std::string_view email, LDateTime date,
                                LWorkHoursData& data);
  // Sums the days from `from` to `to` (one calendar day at a time, keeping
  // the clock time of `from`) into `data`, whose minute fields the caller
  // sets to 0. Only days with worked time count; first start begins at 86400
  // and last end at 0.
  static void LKXCalculateHours(std::string_view email, LDateTime from, LDateTime to, LWorkHoursData& data);

  // The day's sums from a classified list and the user's rules, as the
  // single-day calculation ends (exposed for the weekly report's rows).
  static void SumPeriods(const LTimePeriodList& list, LKXUser& user, LWorkHoursData& data);

 private:
  // Gap filling, sums and joining of a loaded day.
  static void CalculateDay(LTimePeriodList& list, LKXUser& user, LWorkHoursData& data);
};
