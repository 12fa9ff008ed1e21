#include "model/public_holidays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_fixture.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

class PublicHolidaysTest : public RegistryTest {
 protected:
  KavrixScopedTimeZone zone_{"Australia/Sydney"};
};

}  // namespace

// Overlaps, the end before the start and bad dates at the holiday dialog are
// the page test's; here the boundaries: touching days, one-day holidays.
TEST_F(PublicHolidaysTest, HolidaysMayNotShareADayAndRunToTheLastSecondOfTheEndDate) {
  const char* cases[][3] = {
      {"2009-12-25", "2009-12-26", "1"}, {"2009-12-20", "2009-12-25", "0"}, {"2009-12-27", "2009-12-28", "1"},
      {"2009-12-24", "2009-12-24", "1"}, {"2010-1-1", "2010-01-01", "1"}};
  for (auto [start, end, added] : cases) EXPECT_EQ(KXAddPublicHoliday(start, end, "x"), *added == '1') << start;
  EXPECT_EQ(KavrixReadFile(HolidayRecord(3)), "startdate=2010-01-01\r\nenddate=2010-01-01\r\ncomment=x\r\n");
  const LDateTime last = KavrixAt("2009-12-28", "23:59:59"), first = KavrixAt("2009-12-24", "00:00:00");
  EXPECT_TRUE(KXIsPublicHoliday(last) && KXIsPublicHoliday(first) && KXIsPublicHoliday(std::string_view("2009-12-25")));
  EXPECT_FALSE(KXIsPublicHoliday(last + 1) || KXIsPublicHoliday(first - 1) || KXIsPublicHoliday(LDateTime()));
}

// Moments count as their local dates (Sydney); the comment keeps one line.
TEST_F(PublicHolidaysTest, MomentsAddAsTheirLocalDates) {
  EXPECT_TRUE(
      KXAddPublicHoliday(KavrixAt("2009-12-25", "18:30:00"), KavrixAt("2009-12-26", "01:00:00"), "Christmas\r\nx=y"));
  EXPECT_FALSE(KXAddPublicHoliday(KavrixAt("2009-12-26", "23:00:00"), KavrixAt("2009-12-27", "00:00:00"), ""));
  EXPECT_FALSE(KXAddPublicHoliday(LDateTime(), KavrixAt("2009-12-27", "00:00:00"), ""));
  const std::vector<LKXPublicHoliday> all = KXGetPublicHolidays();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].start + " " + all[0].end + " " + all[0].comment, "2009-12-25 2009-12-26 Christmas");
}


// A holiday is deleted by both its stored dates; its days are free again.
TEST_F(PublicHolidaysTest, DeletingNeedsBothStoredDates) {
  ASSERT_TRUE(KXAddPublicHoliday("2009-12-25", "2009-12-26", ""));
  EXPECT_FALSE(KXDeletePublicHoliday("2009-12-25", "2009-12-25"));
  EXPECT_TRUE(KXDeletePublicHoliday("2009-12-25", "2009-12-26") && KXAddPublicHoliday("2009-12-26", "2009-12-26", ""));
}
