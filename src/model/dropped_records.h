#pragma once
// Counts records that could not be written (a full disk, a folder that is
// not writable) and says so in the system log: at once for the first, then
// once a minute with the number dropped since the last line, for as long as
// that number is not zero. A station keeps sending records whatever happens
// to them, so without this a full disk would lose hours of work in silence.
// The minute's line comes from the maintenance thread, which waits for it
// (KXDroppedRecordsSecondsUntilDue, KXReportDroppedRecords), so a count is
// told even when no record follows the last one dropped.

#include <atomic>
#include <cstdint>
#include <mutex>

class LKXDroppedRecords {
 public:
  static constexpr int kLogIntervalSeconds = 60;

  // `what` names the records in the log line ("Activity records").
  explicit LKXDroppedRecords(const char* what) : what_(what) {}
  LKXDroppedRecords(const LKXDroppedRecords&) = delete;
  LKXDroppedRecords& operator=(const LKXDroppedRecords&) = delete;

  void Dropped();
  // A record was written: drops not yet logged are logged now when the
  // minute since the last line has passed (the disk has room again).
  void Saved() { ReportWhenDue(); }
  // Drops not yet logged are logged when the minute since the last line has
  // passed.
  void ReportWhenDue();
  // Seconds until ReportWhenDue has a line to write (0: now); -1 while
  // nothing waits to be told.
  int SecondsUntilDue();

 private:
  void LogWhenDue();  // mutex_ held

  const char* const what_;
  std::atomic<int> unlogged_{0};  // read without the lock on every save, to keep saves cheap
  std::mutex mutex_;              // guards lastLine_ and the logging of unlogged_
  std::int64_t lastLine_ = 0;     // seconds since 1970; 0 before the first line
};

// The counters of the station's records.
LKXDroppedRecords& KXDroppedActivityRecords();
LKXDroppedRecords& KXDroppedManualRecords();
// ReportWhenDue of both; the maintenance thread calls it with every pass
// and whenever SecondsUntilDue said so.
void KXReportDroppedRecords();
// The sooner SecondsUntilDue of the two; -1 when neither waits.
int KXDroppedRecordsSecondsUntilDue();
