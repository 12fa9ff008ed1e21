#include <filesystem>
#include <string>
#include <vector>

#include "support/test_helpers.h"
#include "model/core_data.h"
#include "support/temp_root.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

class CoreDataLogsTest : public KavrixTempRoot {
 protected:
  std::string Folder() const { return SharedFolder() + "/Archive/ann@x"; }
  std::string File(const std::string& name) const { return KavrixReadFile(Folder() + "/" + name); }
  KavrixScopedTimeZone zone_{"UTC"};
};

// One exact row per log; the quoting is the CSV writer's.
TEST_F(CoreDataLogsTest, RecordsAreWrittenByteForByte) {
  EXPECT_TRUE(LKXCoreData::LogActivity("Ann@X", KavrixAt("2010-01-04", "09:30:00"), 60, 0xffff, 12, 3, "Word", "Q1"));
  EXPECT_EQ(File("2010-01-04_activity.csv"), "09:30:00,60,65535,12,3,\"Word\",\"Q1\"\r\n");
  // Folders removed while the server runs are made again by the next record.
  std::filesystem::remove_all(SharedFolder() + "/Archive");
  // Manual hours are split at midnight like activity.
  EXPECT_TRUE(LKXCoreData::LogManualEntry("ann@x", KavrixAt("2010-01-04", "22:00:00"), 3 * 3600, 1, "Late"));
  EXPECT_EQ(File("2010-01-04_manual.csv") + File("2010-01-05_manual.csv"),
            "22:00:00,7200,1,\"Late\"\r\n00:00:00,3600,1,\"Late\"\r\n");
  // An unset start has no date to file the record under.
  EXPECT_FALSE(LKXCoreData::LogActivity("ann@x", LDateTime(), 60, 0, 0, 0, "a", "c") ||
               LKXCoreData::LogManualEntry("ann@x", LDateTime(), 60, 0, "c"));
  EXPECT_TRUE(LKXCoreData::LogLeaveEntry("ann@x", KavrixAt("2010-02-01"), KavrixAt("2010-02-05"), "Annual Leave",
                                         "Trip", "boss@x"));
  EXPECT_EQ(File("2010_leave.csv"), "2010-02-01,2010-02-05,Annual Leave,\"Trip\",0,\"boss@x\"\r\n");
}

// Each case: a start on 2010-01-04, a duration, and the logs of the 4th,
// 5th and 6th as one text ("-" for a log that must not exist).
TEST_F(CoreDataLogsTest, ActivityIsSplitAtMidnight) {
  const std::string row = ",0,7,2,\"a\",\"c\"\r\n";
  const struct { const char* start; int duration; std::string logs; } cases[] = {
      {"23:30:00", 1800, "23:30:00,1800" + row + "|-|-"},
      {"23:30:00", 1801, "23:30:00,1800" + row + "|00:00:00,1" + row + "|-"},
      {"12:00:00", 2 * 86400, "12:00:00,43200" + row + "|00:00:00,86400" + row + "|00:00:00,43200" + row},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(Folder());
    EXPECT_EQ(LKXCoreData::LogActivity("ann@x", KavrixAt("2010-01-04", c.start), c.duration, 0, 7, 2, "a", "c"),
              c.duration > 0);
    std::string logs;
    for (const char* date : {"2010-01-04", "2010-01-05", "2010-01-06"}) {
      const std::string path = Folder() + "/" + date + "_activity.csv";
      logs += std::string(logs.empty() ? "" : "|") + (KavrixFileExists(path) ? KavrixReadFile(path) : "-");
    }
    EXPECT_EQ(logs, c.logs) << c.start << " " << c.duration;
  }
}

TEST_F(CoreDataLogsTest, LeaveIsSplitAtTheYearEnd) {
  EXPECT_TRUE(LKXCoreData::LogLeaveEntry("ann@x", KavrixAt("2009-12-28"), KavrixAt("2010-01-04", "12:00:00"), "Annual",
                                         "Holiday", "boss@x"));
  EXPECT_EQ(File("2009_leave.csv"), "2009-12-28,2009-12-31,Annual,\"Holiday\",0,\"\"\r\n");
  EXPECT_EQ(File("2010_leave.csv"), "2010-01-01,2010-01-04,Annual,\"Holiday\",0,\"boss@x\"\r\n");

  // Across two year ends only the first and the last year get a record.
  EXPECT_TRUE(LKXCoreData::LogLeaveEntry("ann@x", KavrixAt("2011-12-30"), KavrixAt("2013-01-02"), "Unpaid", "", ""));
  EXPECT_EQ(File("2011_leave.csv"), "2011-12-30,2011-12-31,Unpaid,\"\",0,\"\"\r\n");
  EXPECT_FALSE(KavrixFileExists(Folder() + "/2012_leave.csv"));
  EXPECT_EQ(File("2013_leave.csv"), "2013-01-01,2013-01-02,Unpaid,\"\",0,\"\"\r\n");

  EXPECT_FALSE(LKXCoreData::LogLeaveEntry("ann@x", KavrixAt("2014-01-02"), LDateTime(), "Sick", "", ""));
}

}  // namespace
