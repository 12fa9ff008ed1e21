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
constexpr std::int32_t kDay = 86400;

class OfflineTipsTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "p"));
    ASSERT_TRUE(KXGetUser("ann@x.example", ann_));
  }
  // The phrase `at` seconds after Wednesday midnight for a user who works
  // `days` from `start` to `end`, her zone not yet reported (1440) or UTC.
  std::string TipsAt(std::int32_t at, const char* start = "09:00:00", const char* end = "17:00:00", int days = 62,
                     int zone = 1440, int viewer_zone = 0) {
    ann_.SetNumber(kKXUserWorkDays, days);
    ann_.SetText(kKXUserNormalHourStart, start);
    ann_.SetText(kKXUserNormalHourEnd, end);
    ann_.SetNumber(kKXUserTimeZone, zone);
    LDateTime::SetFakeNow(kWednesday + at);
    return ann_.GetOfflineTips(viewer_zone);
  }

  KavrixScopedTimeZone zone_{"UTC0"};
  LKXUser ann_;
};

}  // namespace

// The viewer's zone shifts the hours only once the user's own is reported.
TEST_F(OfflineTipsTest, PhrasesFollowTheClockTheWorkDaysAndTheZones) {
  const std::pair<std::string, std::string> cases[] = {
      {TipsAt(9 * kHour - 1), "will be online from 09:00:00 today"},
      {TipsAt(9 * kHour), "will be back soon"},
      {TipsAt(17 * kHour - 1), "will be back soon"},
      {TipsAt(17 * kHour), "will be online from 09:00:00 2009-06-11"},
      {TipsAt(2 * kDay + 18 * kHour), "will be online from 09:00:00 2009-06-15"},  // Friday evening
      {TipsAt(8 * kHour, "09:00:00", ""), "(works flexible hours)"},
      {TipsAt(8 * kHour, "09:00:00", "", 128), "(works flexible days)"},  // no day in the low seven bits
      {TipsAt(20 * kHour, "00:00:00"), "will be online anytime today"},
      {TipsAt(3 * kDay + 10 * kHour, "00:00:00"), "will be online from 2009-06-15"},  // Saturday
      {TipsAt(10 * kHour, "09:00:00", "17:00:00", 62, 1440, 120), "will be back soon"},
      {TipsAt(10 * kHour, "09:00:00", "17:00:00", 62, 0, 120), "will be online from 11:00:00 today"},
  };
  for (const auto& [tips, expected] : cases) EXPECT_EQ(tips, expected);
}

// Holidays and leave are skipped; with no working day within a year there
// is no phrase.
TEST_F(OfflineTipsTest, HolidaysAndLeaveAreSkipped) {
  ASSERT_TRUE(KXAddPublicHoliday("2009-06-11", "2009-06-11", "closed"));
  EXPECT_EQ(TipsAt(18 * kHour), "will be online from 09:00:00 2009-06-12");
  // On leave today: not "back soon" but the next day.
  WriteLeaveLog("ann@x.example", "2009", "2009-06-10,2009-06-10,sick,\"\",0,\"\"\r\n");
  EXPECT_EQ(TipsAt(10 * kHour), "will be online from 09:00:00 2009-06-12");
  WriteLeaveLog("ann@x.example", "2009", "2009-06-10,2009-12-31,unpaid,\"\",1,\"\"\r\n");
  WriteLeaveLog("ann@x.example", "2010", "2010-01-01,2010-12-31,unpaid,\"\",1,\"\"\r\n");
  EXPECT_EQ(TipsAt(10 * kHour), "");
}
