#pragma once
// Per-application totals of time, key strokes and mouse clicks over a span
// of days, for the usage report, the document analysis page, the weekly
// staff report and the private-programs warning. Callers sort or rank the
// entries themselves.

#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>

#include "foundation/date_time.h"

struct LKXAppUsage {
  std::int32_t seconds = 0;
  std::int32_t keys = 0;
  std::int32_t clicks = 0;
  std::string name;  // at most 259 bytes
  std::uint8_t tag = 0;
};

class LKXAppUsageList {
 public:
  // Adds to the entry of that name (letter case ignored), or puts a new
  // entry with the current tag at the front. Sums stop at the int range.
  void AddApp(std::int32_t seconds, std::int32_t keys, std::int32_t clicks, std::string_view name);
  std::int32_t GetTotalUsageSeconds() const;

  // Copied into each entry made from now on; a comparison of several users
  // marks with it which user an entry came from.
  void SetTag(std::uint8_t tag) { tag_ = tag; }
  std::uint8_t GetTag() const { return tag_; }

  // Newest entry first.
  const std::forward_list<LKXAppUsage>& Entries() const { return entries_; }
  bool IsEmpty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

 private:
  std::forward_list<LKXAppUsage> entries_;
  std::uint8_t tag_ = 0;
};

// The usage report's rule for one activity row: work mode, at least one key
// stroke or click, and, when `only_application` is not empty, that
// application (letter case ignored). Rows of an hour or more count here.
bool LKXAppUsageRowCounts(int flags, int keys, int clicks, std::string_view application,
                          std::string_view only_application);

// Feeds the rows of `email`'s activity logs that count, from the day of
// `first` to the day of `last` (both included), into `list` as
// AddApp(duration, keys, clicks, application). Rows whose duration is not
// 1 to 86400 seconds are left out: no stored row is longer than a day, and
// a negative one would take time off another row's total.
void LKXAddAppUsage(LKXAppUsageList& list, std::string_view email, LDateTime first, LDateTime last,
                    std::string_view only_application = {});

// The same rows of `application` only, each added under its window caption
// instead: the document analysis of one application. Nothing for an empty
// application name.
void LKXAddDocumentUsage(LKXAppUsageList& list, std::string_view email, LDateTime first, LDateTime last,
                         std::string_view application);
