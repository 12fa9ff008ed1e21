#include "model/org_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "registry_fixture.h"

using OrgSettingsTest = RegistryTest;

TEST_F(OrgSettingsTest, ValuesAreStoredAsTextInTheirSections) {
  ASSERT_TRUE(KXOrgSetInt(LKXOrg::kDefaultWorkHours, 38));
  ASSERT_TRUE(KXOrgSetBool(LKXOrg::kAutoDetectHolidays, true));
  ASSERT_TRUE(KXOrgSetText(LKXOrg::kPrivatePrograms, "game.exe, chat.exe"));
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/company"), "defaultworkhours=38\r\nprivateprograms=game.exe, chat.exe\r\n");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/settings"), "autodetectholidays=1\r\n");
  // Anything not beginning with "0" is on.
  LSettingSetString("Settings", "AutoDetectHolidays", "no");
  EXPECT_TRUE(KXOrgGetBool(LKXOrg::kAutoDetectHolidays));
}

TEST_F(OrgSettingsTest, RangesAreCheckedAndHandEditedValuesKeptInside) {
  struct Case { LKXOrg id; const char* stored; int read; };
  for (const Case& c : std::vector<Case>{{LKXOrg::kDefaultWorkHours, "85", 84}, {LKXOrg::kDefaultWorkHours, "-3", 0},
                                         {LKXOrg::kAutoDeleteDays, "0", 0}, {LKXOrg::kAutoDeleteDays, "3", 5},
                                         {LKXOrg::kAutoDeleteDays, "99999999999", 300},
                                         {LKXOrg::kShowUserCaptions, "-7", -1},
                                         {LKXOrg::kMaxBreakMins, "100000", 100000}}) {
    ASSERT_TRUE(KXOrgSetText(c.id, c.stored));
    EXPECT_EQ(KXOrgGetInt(c.id), c.read) << KXOrgSettingOf(c.id).key << "=" << c.stored;
  }
  EXPECT_TRUE(KXOrgInRange(LKXOrg::kDefaultWorkHours, 84) && KXOrgInRange(LKXOrg::kMaxBreakMins, -5));
  EXPECT_FALSE(KXOrgInRange(LKXOrg::kDefaultWorkHours, 85) || KXOrgHasRange(LKXOrg::kMaxBreakMins));
}
