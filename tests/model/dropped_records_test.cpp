// Records that cannot be written are counted and logged: the first at once,
// then once a minute with the number dropped since.

#include "model/dropped_records.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/date_time.h"
#include "model/core_data.h"
#include "support/full_disk.h"
#include "support/log_reader.h"
#include "support/temp_root.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

constexpr std::int32_t kNow = 1773144000;  // 2026-03-10 12:00:00 UTC

class DroppedRecordsTest : public KavrixTempRoot {
 protected:
  static std::vector<std::string> Lines(const std::string& prefix) {
    std::vector<std::string> lines = KavrixLogMessages();
    std::erase_if(lines, [&](const std::string& line) { return line.rfind(prefix, 0) != 0; });
    return lines;
  }
  KavrixScopedTimeZone zone_{"UTC"};
};

// The first drop is told at once, the rest once a minute with the count; the
// minute's line needs no further record: the maintenance thread waits for it
// and asks for it, and nothing is said once the count is back at zero.
TEST_F(DroppedRecordsTest, TheCountIsToldEveryMinuteWithoutAnotherRecord) {
  LDateTime::SetFakeNow(kNow);
  LKXDroppedRecords counter("Quiet records");
  EXPECT_EQ(counter.SecondsUntilDue(), -1);
  for (int i = 0; i < 20; ++i) counter.Dropped();
  // due: seconds, before the report.
  const struct { std::int32_t after; int due; std::size_t lines; const char* last; } steps[] = {
      {59, 1, 1, "Quiet records dropped: 1 could not be written to the work logs."},
      {60, 0, 2, "Quiet records dropped: 19 could not be written to the work logs."},
      {120, -1, 2, "Quiet records dropped: 19 could not be written to the work logs."},
  };
  for (const auto& step : steps) {
    LDateTime::SetFakeNow(kNow + step.after);
    EXPECT_EQ(counter.SecondsUntilDue(), step.due) << step.after;
    counter.ReportWhenDue();
    const std::vector<std::string> lines = Lines("Quiet records");
    ASSERT_EQ(lines.size(), step.lines) << step.after;
    EXPECT_EQ(lines.back(), step.last) << step.after;
  }
}

TEST_F(DroppedRecordsTest, ActivityRecordsOnAFullDiskAreCountedAndWhatWasStoredStays) {
  const std::string folder = SharedFolder() + "/Archive/ann@x";
  const LDateTime start = KavrixAt("2026-03-10", "09:00:00");
  ASSERT_TRUE(LKXCoreData::LogActivity("ann@x", start, 60, 0, 1, 2, "Word", "Stored before"));
  const std::string stored = KavrixReadFile(folder + "/2026-03-10_activity.csv");
  KavrixFullDisk disk;
  KAVRIX_FULL_DISK_OR_SKIP(disk, SharedFolder() + "/Archive");
  // Far from the other tests' moments, so that this counter's minute is new.
  // The next day's log is a new file: the stored one's last block could
  // still hold a row or two.
  LDateTime::SetFakeNow(kNow + 100000);
  const LDateTime nextDay = start + static_cast<std::int32_t>(LDateTime::kOneDay);
  // Drops of other tests in this process may have been reported just now.
  const std::size_t before = Lines("Activity records dropped: ").size();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(LKXCoreData::LogActivity("ann@x", nextDay, 60, 0, 1, 2, "Word", "Lost"));
  EXPECT_EQ(Lines("Activity records dropped: ").size(), before + 1);
  EXPECT_EQ(KavrixReadFile(folder + "/2026-03-10_activity.csv"), stored);
}

}  // namespace
