// When is an absent user back: the phrases shown in place of the caption.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/public_holidays.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/time_zone.h"

namespace {

constexpr std::int32_t kWednesday = 1244592000;  // 2009-06-10 00:00:00 UTC
constexpr std::int32_t kHour = 3600;
constexpr int kMondayToFriday = 62;

class OfflineTipsTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "p"));
    ASSERT_TRUE(KXGetUser("ann@x.example", ann_));
    ann_.SetNumber(kKXUserWorkDays, kMondayToFriday);
    ann_.SetText(kKXUserNormalHourStart, "09:00:00");
    ann_.SetText(kKXUserNormalHourEnd, "17:00:00");
  }
  std::string TipsAt(std::int32_t now, int viewer_zone = 0) {
    LDateTime::SetFakeNow(now);
    return ann_.GetOfflineTips(viewer_zone);
  }
  void AddLeave(const std::string& year, const std::string& rows) {
    std::filesystem::create_directories(ArchiveFolder("ann@xexample"));
    ASSERT_TRUE(KavrixWriteFile(ArchiveFolder("ann@xexample") + "/" + year + "_leave.csv", rows));
  }

  KavrixScopedTimeZone zone_{"UTC0"};
  LKXUser ann_;
};

}  // namespace

TEST_F(OfflineTipsTest, WorkingDayPhrasesFollowTheClock) {
  struct Case { std::int32_t now; const char* tips; };
  for (const Case& c : std::vector<Case>{
           {kWednesday + 9 * kHour - 1, "will be online from 09:00:00 today"},
           {kWednesday + 9 * kHour, "will be back soon"}, {kWednesday + 17 * kHour - 1, "will be back soon"},
           {kWednesday + 17 * kHour, "will be online from 09:00:00 2009-06-11"},
           {kWednesday + 2 * 86400 + 18 * kHour, "will be online from 09:00:00 2009-06-15"},  // Friday
       }) {
    EXPECT_EQ(TipsAt(c.now), c.tips) << c.now;
  }
}

TEST_F(OfflineTipsTest, FlexibleUsersAndMidnightStartsGetTheirOwnPhrases) {
  ann_.SetText(kKXUserNormalHourEnd, "");
  EXPECT_EQ(TipsAt(kWednesday + 8 * kHour), "(works flexible hours)");
  ann_.SetNumber(kKXUserWorkDays, 128);  // no day in the low seven bits
  EXPECT_EQ(TipsAt(kWednesday + 8 * kHour), "(works flexible days)");
  ann_.SetNumber(kKXUserWorkDays, kMondayToFriday);
  ann_.SetText(kKXUserNormalHourStart, "00:00:00");
  ann_.SetText(kKXUserNormalHourEnd, "17:00:00");
  EXPECT_EQ(TipsAt(kWednesday + 20 * kHour), "will be online anytime today");
  EXPECT_EQ(TipsAt(kWednesday + 3 * 86400 + 10 * kHour), "will be online from 2009-06-15");  // Saturday
}

// Holidays and leave are skipped; with no working day within a year there
// is no phrase.
TEST_F(OfflineTipsTest, HolidaysAndLeaveAreSkipped) {
  ASSERT_TRUE(KXAddPublicHoliday("2009-06-11", "2009-06-11", "closed"));
  EXPECT_EQ(TipsAt(kWednesday + 18 * kHour), "will be online from 09:00:00 2009-06-12");
  // On leave today: not "back soon" but the next day.
  AddLeave("2009", "2009-06-10,2009-06-10,sick,\"\",0,\"\"\r\n");
  EXPECT_EQ(TipsAt(kWednesday + 10 * kHour), "will be online from 09:00:00 2009-06-12");
  AddLeave("2009", "2009-06-10,2009-12-31,unpaid,\"\",1,\"\"\r\n");
  AddLeave("2010", "2010-01-01,2010-12-31,unpaid,\"\",1,\"\"\r\n");
  EXPECT_EQ(TipsAt(kWednesday + 10 * kHour), "");
}

TEST_F(OfflineTipsTest, NormalHoursAreShiftedIntoTheViewersZoneOnceReported) {
  EXPECT_EQ(TipsAt(kWednesday + 10 * kHour, 120), "will be back soon");  // zone not reported: as stored
  ann_.SetNumber(kKXUserTimeZone, 0);
  EXPECT_EQ(TipsAt(kWednesday + 10 * kHour, 120), "will be online from 11:00:00 today");
}
