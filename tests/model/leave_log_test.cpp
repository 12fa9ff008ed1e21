#include "model/leave_log.h"

#include <gtest/gtest.h>

#include "model/public_holidays.h"
#include "registry_fixture.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

struct LeaveLogTest : RegistryTest {
  KavrixScopedTimeZone zone_{"Australia/Sydney"};
};

TEST_F(LeaveLogTest, LeaveDaysSkipWeekendsAndHolidays) {
  const LDateTime wednesday = KavrixAt("2026-03-11", "10:00:00");
  ASSERT_TRUE(KXAddPublicHoliday(wednesday, wednesday, "Mid"));
  const struct { const char* start; const char* end; int days; } cases[] = {
      {"2026-03-09", "2026-03-13", 4},  // Monday to Friday, Wednesday a holiday
      {"2026-03-13", "2026-03-09", 0},  // start after end
      {"2026-3-9", "2026-03-13", 0}, {"2026-04-30", "2026-04-31", 0},
      {"2026-04-03", "2026-04-06", 2},  // Friday to Monday, across the change from summer time
  };
  for (const auto& c : cases) EXPECT_EQ(CalculateHolidaysTaken(c.start, c.end), c.days) << c.start << " " << c.end;
}

TEST_F(LeaveLogTest, RowsQuoteWhatWouldBreakThemAndReadBack) {
  LKXLeaveRecord record{"2026-01-02", "2026-01-03", "a,\"b\"", "x\r\ny", -1, "m@x"};
  EXPECT_EQ(KXLeaveRecordRow(record), "2026-01-02,2026-01-03,\"a,\"\"b\"\"\",\"x  y\",-1,\"m@x\"");
  const LKXLeaveRecord back = KXParseLeaveRecord(KXLeaveRecordRow(record));
  EXPECT_EQ(back.start + back.end + back.type + back.reason + std::to_string(back.status) + back.author,
            "2026-01-022026-01-03a,\"b\"x  y-1m@x");
}

TEST_F(LeaveLogTest, YearsAreFourDigitsOnly) {
  for (const char* bad : {"202", "20265", "20a6"}) EXPECT_FALSE(KXIsYearText(bad)) << bad;
  EXPECT_TRUE(KXIsYearText("2026"));
}

}  // namespace
