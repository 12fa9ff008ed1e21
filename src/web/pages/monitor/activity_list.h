#pragma once
// The rows of the activity page: a day's activity records, with runs of
// idle records of one application joined into one row.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct LKXActivityEntry {
  std::int32_t start = 0;  // seconds since midnight
  std::int32_t duration = 0;
  std::uint16_t flags = 0;  // bit 0: private
  int keys = 0;
  int clicks = 0;
  std::string application;  // at most 259 bytes
  std::string caption;      // at most 259 bytes
  bool ascending = true;
};

class LKXActivityList {
 public:
  explicit LKXActivityList(bool ascending) : ascending_(ascending) {}

  // A record without key strokes and clicks joins an entry that has none
  // either, of the same application (letter case ignored), when it starts
  // exactly where the entry ends or ends exactly where it starts; of several
  // such entries the newest one takes it. Any other record is a new entry.
  void AddActivity(std::int32_t start, std::int32_t duration, std::uint16_t flags, int keys, int clicks,
                   std::string_view application, std::string_view caption);

  // The entries by start time in the list's direction; entries that start
  // together keep their list order, newest first.
  std::vector<LKXActivityEntry> Sorted() const;
  std::size_t Size() const { return entries_.size(); }

 private:
  using Index = std::unordered_map<std::int64_t, std::vector<std::size_t>>;
  static void Unlink(Index& index, std::int64_t key, std::size_t entry);
  // The newest idle entry of `application` listed under `key`, or npos.
  std::size_t Newest(const Index& index, std::int64_t key, std::string_view application) const;

  bool ascending_;
  // In the order made; the newest is the front of the list.
  std::vector<LKXActivityEntry> entries_;
  // Idle entries by where they end and where they start, so that a day of
  // many thousand records does not scan the whole list for every record.
  Index idleByEnd_;
  Index idleByStart_;
};
