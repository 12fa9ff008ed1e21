#pragma once
// The work-hours report of one or more users over a range of days, as rows
// that both the page ("viewhours") and its CSV download ("viewhours.csv")
// show: the worked days of each user (when shown), each user's mean and total,
// and the mean and total of the whole report.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"
#include "model/user.h"

class LWebletForm;

// The five amounts a row sums and the time required of it, in whole minutes.
struct LKXHoursAmounts {
  long long breaks = 0;
  long long active = 0;
  long long idle = 0;
  long long manual = 0;
  long long total = 0;
  long long required = 0;
  void Add(const LKXHoursAmounts& other);
  LKXHoursAmounts DividedBy(long long count) const;
};

struct LKXHoursReportRow {
  enum Kind { kDay, kUserMean, kUserTotal, kReportMean, kReportTotal };
  Kind kind = kDay;
  std::string name;   // the user's name (empty for the report rows)
  std::string email;  // the user's address (empty for the report rows)
  std::string date;   // kDay: "YYYY-MM-DD"
  int count = 0;      // days (user rows) or users (report rows)
  // Seconds of the day: kDay the day's first and last activity, kUserMean
  // the means of those; unused by the other kinds.
  long long firstStart = 0;
  long long lastEnd = 0;
  LKXHoursAmounts amounts;
  // Whether the row shows a required time and the difference (total minus
  // required). The weekly warnings' rules: a casual user owes nothing; a day
  // row only where the user has fixed work days; a user row the required
  // minutes of each week (Monday to Sunday) the range touches, cut to the
  // range, leave and public holidays counted.
  bool owesTime = false;
};

struct LKXHoursReport {
  // Addresses the viewer may not see, in list order; each was skipped.
  std::vector<std::string> refused;
  std::vector<LKXHoursReportRow> rows;
  int users = 0;  // users counted
};

// The range of a report as its page reads it. `message` is set (one of the
// dark-red notices) when the range cannot be searched.
struct LKXHoursRange {
  LDateTime start;  // 00:00:00 of the first day
  LDateTime end;    // 23:59:59 of the last day
  bool searchable = false;
  const char* message = nullptr;
};
// "startdate" at 00:00:00 and "enddate" at 23:59:59: not searched while the
// start is empty; a date that is no date, an end before the start or an end
// more than 365 days after the start gives its notice. An empty end date
// means the start date.
LKXHoursRange KXReadHoursRange(std::string_view startDate, std::string_view endDate);

// Day rows are kept only for a single address or a single day.
bool KXHoursShowDays(std::string_view selusers, const LKXHoursRange& range);

// The report of `selusers` (addresses separated by commas; blanks around an
// address and empty items are ignored) for `viewer`. Each address is checked
// against the viewer's rights before anything of it is read.
LKXHoursReport KXBuildHoursReport(LKXUser& viewer, std::string_view selusers, const LKXHoursRange& range);

inline constexpr int kKXMaxHoursRangeSeconds = 31622401;  // 366 days and a second
