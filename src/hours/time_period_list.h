#pragma once
// The typed periods of one day: seconds since local midnight, ordered and
// never overlapping, each start < end <= 86400. The hours calculation lays
// activity, manual hours and the gaps between them out here and sums them.
//
// Periods live in one ordered array rather than a chain of nodes: a busy day
// holds thousands of activity periods, and finding where a new one goes by
// binary search keeps a day's calculation far below a millisecond per
// thousand rows where walking from the head each time would not.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The period types, stored as these integers.
enum LKXPeriodType : int {
  kKXPeriodActive = 0,   // work-mode activity with key strokes or clicks
  kKXPeriodManual = 1,   // work-mode manual hours
  kKXPeriodIdle = 2,     // a short gap after a period that is not private
  kKXPeriodPrivate = 3,  // private records and short gaps after them
  kKXPeriodBreak = 4,    // a gap from the tolerance up to the maximum break
};

inline constexpr std::int32_t kKXSecondsPerDay = 86400;

struct LTimePeriod {
  std::int32_t start = 0;
  std::int32_t end = 0;
  int type = kKXPeriodActive;
  bool operator==(const LTimePeriod&) const = default;
};

class LTimePeriodList {
 public:
  // Both add operations first normalise [start, end): nothing when start
  // equals end; an end of 0 stands for 86400 (a start above 86400 is then
  // exchanged with it); a start after the end is exchanged with it. Values
  // outside 0..86400 are then held to that range, so a malformed log row can
  // never place a period outside the day.

  // Adds the parts of [start, end) that no period covers yet; the periods
  // already there are never changed (first come, first kept).
  void AddPeriod(std::int32_t start, std::int32_t end, int type);
  // Adds [start, end) whole; periods it overlaps are cut back, split or
  // removed (last come, kept).
  void AddPeriodOverwrite(std::int32_t start, std::int32_t end, int type);
  // Merges each period into its predecessor when that ends exactly where it
  // starts and has the same type.
  void JoinTimePeriods();

  void Clear() { periods_.clear(); }
  bool IsEmpty() const { return periods_.empty(); }
  std::size_t Count() const { return periods_.size(); }
  const std::vector<LTimePeriod>& Periods() const { return periods_; }
  std::vector<LTimePeriod>::const_iterator begin() const { return periods_.begin(); }
  std::vector<LTimePeriod>::const_iterator end() const { return periods_.end(); }

  // Replaces the periods by `periods`, which must already keep the
  // invariants (the gap filling builds the day anew in one pass).
  void AssignOrdered(std::vector<LTimePeriod> periods) { periods_ = std::move(periods); }

 private:
  // The first period that ends after `second`.
  std::size_t FirstEndingAfter(std::int32_t second) const;

  std::vector<LTimePeriod> periods_;
};
