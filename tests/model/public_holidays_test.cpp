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

TEST_F(PublicHolidaysTest, HolidaysMayNotShareADay) {
  struct Case { const char* start; const char* end; bool added; };
  const std::vector<Case> cases = {
      {"2009-12-25", "2009-12-26", true},  {"2009-12-25", "2009-12-26", false}, {"2009-12-26", "2009-12-28", false},
      {"2009-12-20", "2009-12-25", false}, {"2009-12-20", "2009-12-31", false}, {"2009-12-27", "2009-12-28", true},
      {"2009-12-24", "2009-12-24", true},  {"2009-12-29", "2009-12-27", false}, {"", "2009-12-30", false},
      {"2009-12-30", "", false},           {"2009-13-01", "2009-13-01", false}, {"1969-12-31", "1969-12-31", false},
      {"2010-1-1", "2010-01-01", true},
  };
  for (const Case& c : cases) EXPECT_EQ(KXAddPublicHoliday(c.start, c.end, "x"), c.added) << c.start << ".." << c.end;
  EXPECT_EQ(KXPublicHolidayCount(), 4);
  EXPECT_EQ(KavrixReadFile(HolidayRecord(3)), "startdate=2010-01-01\r\nenddate=2010-01-01\r\ncomment=x\r\n");
}

TEST_F(PublicHolidaysTest, MomentsAddAsTheirLocalDates) {
  EXPECT_TRUE(
      KXAddPublicHoliday(KavrixAt("2009-12-25", "18:30:00"), KavrixAt("2009-12-26", "01:00:00"), "Christmas\r\nx=y"));
  EXPECT_FALSE(KXAddPublicHoliday(KavrixAt("2009-12-26", "23:00:00"), KavrixAt("2009-12-27", "00:00:00"), ""));
  EXPECT_FALSE(KXAddPublicHoliday(LDateTime(), KavrixAt("2009-12-27", "00:00:00"), ""));
  const std::vector<LKXPublicHoliday> all = KXGetPublicHolidays();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].start, "2009-12-25");
  EXPECT_EQ(all[0].end, "2009-12-26");
  EXPECT_EQ(all[0].comment, "Christmas");
}

TEST_F(PublicHolidaysTest, AHolidayRunsToTheLastSecondOfItsEndDate) {
  ASSERT_TRUE(KXAddPublicHoliday("2009-12-25", "2009-12-26", "Christmas"));
  const LDateTime last = KavrixAt("2009-12-26", "23:59:59");
  EXPECT_TRUE(KXIsPublicHoliday(last));
  EXPECT_FALSE(KXIsPublicHoliday(last + 1));
  EXPECT_TRUE(KXIsPublicHoliday(KavrixAt("2009-12-25", "00:00:00")));
  EXPECT_FALSE(KXIsPublicHoliday(KavrixAt("2009-12-25", "00:00:00") - 1));
  EXPECT_FALSE(KXIsPublicHoliday(LDateTime()));
  struct Case { const char* date; bool holiday; };
  for (const Case& c : std::vector<Case>{
           {"2009-12-25", true}, {"2009-12-26", true}, {"2009-12-27", false}, {"", false}, {"2009-12-32", false}}) {
    EXPECT_EQ(KXIsPublicHoliday(std::string_view(c.date)), c.holiday) << c.date;
  }
}

TEST_F(PublicHolidaysTest, DeletingNeedsBothStoredDatesAndUnreadableRecordsCountNot) {
  ASSERT_TRUE(KXAddPublicHoliday("2009-12-25", "2009-12-26", ""));
  ASSERT_TRUE(KXAddPublicHoliday("2010-01-01", "2010-01-01", ""));
  EXPECT_FALSE(KXDeletePublicHoliday("2009-12-25", "2009-12-25"));
  EXPECT_FALSE(KXDeletePublicHoliday("2009-12-25 ", "2009-12-26"));
  EXPECT_TRUE(KXDeletePublicHoliday("2009-12-25", "2009-12-26"));
  EXPECT_FALSE(KXIsPublicHoliday(std::string_view("2009-12-25")));
  EXPECT_EQ(KXPublicHolidayCount(), 1);
  // The day is free again, and the freed id is taken again.
  EXPECT_TRUE(KXAddPublicHoliday("2009-12-26", "2009-12-26", ""));
  EXPECT_TRUE(KavrixFileExists(HolidayRecord(0)));
  // A record with unreadable dates is no holiday and blocks no day.
  ASSERT_TRUE(KavrixWriteFile(HolidayRecord(0), "startdate=garbage\r\nenddate=\r\n"));
  EXPECT_FALSE(KXIsPublicHoliday(std::string_view("2009-12-26")));
  EXPECT_TRUE(KXAddPublicHoliday("2009-12-25", "2009-12-25", ""));
}
