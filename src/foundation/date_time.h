#pragma once
// The three value types that carry every date and time of the system. Many
// files include this header, so it stays small: no <ctime>, no <chrono>.
//
// Text forms exchanged with files, settings and web forms:
//   date "YYYY-MM-DD", clock time "HH:MM:SS", clock time inside file names
//   "HH-MM-SS". Conversions use the server's local time zone; daylight saving
//   is decided by the C library (mktime with tm_isdst = -1).

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

struct tm;

// A set of days of the week in one byte: bit 0 Sunday ... bit 6 Saturday.
class LWeekDay {
 public:
  static constexpr std::uint8_t kSunday = 1;
  static constexpr std::uint8_t kMonday = 2;
  static constexpr std::uint8_t kTuesday = 4;
  static constexpr std::uint8_t kWednesday = 8;
  static constexpr std::uint8_t kThursday = 16;
  static constexpr std::uint8_t kFriday = 32;
  static constexpr std::uint8_t kSaturday = 64;
  static constexpr std::uint8_t kAllDays = 127;

  constexpr LWeekDay() = default;
  constexpr explicit LWeekDay(std::uint8_t bits) : value(bits) {}
  // The set holding the one day `week_day` (0 Sunday .. 6 Saturday); empty
  // for a number outside 0..6.
  static constexpr LWeekDay FromIndex(int week_day) {
    return (week_day >= 0 && week_day <= 6) ? LWeekDay(static_cast<std::uint8_t>(1u << week_day))
                                            : LWeekDay();
  }

  constexpr bool Contains(LWeekDay days) const { return days.value != 0 && (value & days.value) == days.value; }
  constexpr bool ContainsIndex(int week_day) const { return Contains(FromIndex(week_day)); }
  constexpr bool IsEmpty() const { return value == 0; }
  constexpr LWeekDay operator|(LWeekDay other) const { return LWeekDay(value | other.value); }
  constexpr LWeekDay operator&(LWeekDay other) const { return LWeekDay(value & other.value); }
  constexpr bool operator==(const LWeekDay&) const = default;

  std::uint8_t value = 0;
};

// A time of day: seconds since local midnight. No range is enforced; values
// outside 0..86399 only come from arithmetic.
class LDayTime {
 public:
  constexpr LDayTime() = default;
  constexpr explicit LDayTime(std::int32_t seconds) : value(seconds) {}
  static constexpr LDayTime FromHMS(int hour, int minute, int second) {
    return LDayTime(hour * 3600 + minute * 60 + second);
  }

  // "H:M:S" with missing parts 0 (the seconds may be left out), no range check.
  void SetText(std::string_view text);
  // The same from the file-name form "H-M-S".
  void SetTextHHHMMHSS(std::string_view text);
  // "HH:MM:SS".
  void _GetText(std::string& out) const;
  std::string GetText() const;

  // True only when an hour and a minute were read, 0 <= hour <= 23,
  // 0 <= minute <= 59 and 0 <= second <= 59 ("08:30" passes, "08" does not).
  static bool ValidateDateHHCMMCSS(std::string_view text);

  constexpr auto operator<=>(const LDayTime&) const = default;

  std::int32_t value = 0;
};

// A moment: signed 32-bit seconds since 1970-01-01 00:00:00 UTC; 0 = unset.
class LDateTime {
 public:
  static constexpr std::int32_t kOneDay = 86400;

  constexpr LDateTime() = default;
  constexpr explicit LDateTime(std::int32_t seconds) : value(seconds) {}

  // The one "now" of the whole system: the real clock, or the fake clock a
  // test has set. Safe from any thread.
  static LDateTime Now();
  static void SetFakeNow(std::int32_t seconds);
  static void ClearFakeNow();

  // Empty date text stores 0. Otherwise the date is read as "Y-M-D" (missing
  // month or day are 1) and the time as "H:M:S" (missing parts 0). Returns
  // false, keeping the old value, when the text holds no year or the fields
  // give no moment that fits the type.
  bool SetDateTime(std::string_view date, std::string_view time);
  // Month 1..12; fields out of range roll over (day 32 of January is 1 Feb).
  bool SetDateTime(int year, int month, int day, int hour, int minute, int second);

  // "YYYY-MM-DD" and "HH:MM:SS" in local time; both empty for 0.
  void GetDateTime(std::string& date, std::string& time) const;
  std::string GetDateText() const;
  std::string GetTimeText() const;
  // "HH-MM-SS", the form used inside file names; empty for 0.
  std::string GetTimeHHHMMHSS() const;

  // Seconds since local midnight; 0 for 0.
  LDayTime GetDayTime() const;
  // Keeps the local date (today for 0) and sets the clock time to `day_time`.
  bool SetDayTime(LDayTime day_time);
  // The one day of the week of the value; the empty set for 0.
  LWeekDay GetWeekDay() const;
  // Local calendar fields of the value; false for 0.
  bool GetLocalTime(struct tm* out) const;
  // Moves the value by whole calendar days keeping the local clock time,
  // which 86400-second steps do not do across a daylight-saving change.
  bool AddCalendarDays(int days);

  // True for empty text; otherwise "Y-M-D" with 1970 <= Y <= 2038,
  // 1 <= M <= 12, 1 <= D <= 31 (the day is not checked against the month).
  static bool ValidateDateYYYYHMMHDD(std::string_view text);

  constexpr bool IsSet() const { return value != 0; }
  constexpr auto operator<=>(const LDateTime&) const = default;
  // Day arithmetic steps by adding or subtracting 86400 seconds.
  LDateTime& operator+=(std::int32_t seconds) {
    value = static_cast<std::int32_t>(static_cast<std::int64_t>(value) + seconds);
    return *this;
  }
  LDateTime& operator-=(std::int32_t seconds) {
    value = static_cast<std::int32_t>(static_cast<std::int64_t>(value) - seconds);
    return *this;
  }
  friend LDateTime operator+(LDateTime left, std::int32_t seconds) { return left += seconds; }
  friend LDateTime operator-(LDateTime left, std::int32_t seconds) { return left -= seconds; }

  std::int32_t value = 0;
};
