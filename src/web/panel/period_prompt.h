#pragma once
// The date/time period prompt that report handlers run before they build a
// report: a dialog asking for a date (or a range of at most a year) and
// optionally a time range. Once the user confirms a valid period the values
// are in the session ("date", "enddate", "starttime", "endtime") and the
// function returns true; until then it has answered the request itself.

#include <string_view>

class LWebletForm;

// Control ids of the prompt.
inline constexpr int kLPeriodStartDate = 101;
inline constexpr int kLPeriodEndDate = 102;
inline constexpr int kLPeriodStartTime = 103;
inline constexpr int kLPeriodEndTime = 104;
inline constexpr int kLPeriodDateRange = 105;

inline constexpr char kLPeriodDateMessage[] =
    "Please enter a valid date. Dates must be in the format YYYY-MM-DD.";
inline constexpr char kLPeriodEndBeforeStart[] = "Date end cannot be before date start.";
inline constexpr char kLPeriodTooLong[] = "Cannot search for date range longer than a year.";
inline constexpr char kLPeriodTimeMessage[] =
    "Please enter a valid time. The format must be HH:MM:SS.";
inline constexpr char kLPeriodTimeEndBeforeStart[] = "Time end cannot be before time start.";

// `returnPage` is where Cancel leads when the form names no "oncancel".
bool LWebPromptDateTimePeriod(LWebletForm& form, std::string_view returnPage,
                              std::string_view title, bool withEndDate, bool withTimes);
