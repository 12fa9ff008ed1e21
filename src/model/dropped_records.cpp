#include "model/dropped_records.h"

#include "foundation/date_time.h"
#include "foundation/log.h"

void LKXDroppedRecords::Dropped() {
  std::lock_guard<std::mutex> lock(mutex_);
  unlogged_.fetch_add(1);
  LogWhenDue();
}

void LKXDroppedRecords::ReportWhenDue() {
  if (unlogged_.load() == 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  LogWhenDue();
}

void LKXDroppedRecords::LogWhenDue() {
  const std::int64_t now = LDateTime::Now().value;
  if (lastLine_ != 0 && now - lastLine_ < kLogIntervalSeconds && now >= lastLine_) return;
  const int count = unlogged_.exchange(0);
  if (count == 0) return;
  lastLine_ = now;
  LOGERRORF("%s dropped: %d could not be written to the work logs.", what_, count);
}

int LKXDroppedRecords::SecondsUntilDue() {
  if (unlogged_.load() == 0) return -1;
  std::lock_guard<std::mutex> lock(mutex_);
  const std::int64_t now = LDateTime::Now().value;
  // A clock set back makes the line due at once, as LogWhenDue has it.
  if (lastLine_ == 0 || now < lastLine_ || now - lastLine_ >= kLogIntervalSeconds) return 0;
  return static_cast<int>(kLogIntervalSeconds - (now - lastLine_));
}

LKXDroppedRecords& KXDroppedActivityRecords() {
  static LKXDroppedRecords counter("Activity records");
  return counter;
}

LKXDroppedRecords& KXDroppedManualRecords() {
  static LKXDroppedRecords counter("Manual hours records");
  return counter;
}

void KXReportDroppedRecords() {
  KXDroppedActivityRecords().ReportWhenDue();
  KXDroppedManualRecords().ReportWhenDue();
}

int KXDroppedRecordsSecondsUntilDue() {
  const int activity = KXDroppedActivityRecords().SecondsUntilDue();
  const int manual = KXDroppedManualRecords().SecondsUntilDue();
  if (activity < 0) return manual;
  if (manual < 0) return activity;
  return activity < manual ? activity : manual;
}
