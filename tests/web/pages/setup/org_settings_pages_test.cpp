// The organisation settings pages over real loopback HTTP: the
// configuration dialog's checks and the settings files it writes, and the
// add dialogs of teams, leave types and holidays.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "web/pages/org/org_add_pages.h"
#include "web/pages/setup/config_page.h"

namespace {

// A complete configuration form as the dialog posts it, by field.
std::map<std::string, std::string> ValidConfigForm() {
  return {{"108", "30"},       {"115", "on"},         {"rbg3", "315"},
          {"rbg1", "112"},     {"116", "on"},         {"118", "on"},
          {"120", "38"},       {"107", "12"},         {"rbg2", "202"},
          {"210", "12:30"},    {"211", "13:15:00"},   {"301", "on"},
          {"306", "7"},        {"312", "0"},          {"402", "on"},
          {"322", "14, 28"},   {"323", "2026-01-05"}, {"122", "game.exe,chat.exe"},
          {"123", "word.exe"}, {"submit", "  OK  "}};
}

class OrgSettingsPagesTest : public OfficeTest {
 protected:
  std::string Admin() { return Session("boss"); }
  std::string PostConfig(const std::map<std::string, std::string>& fields) {
    return Post("config", Encode(HtmlFields(fields.begin(), fields.end()), ""), Admin());
  }
  std::string SettingsFiles() const {
    return KavrixReadFile(SharedFolder() + "/company") + "|" + KavrixReadFile(SharedFolder() + "/settings");
  }
};

TEST_F(OrgSettingsPagesTest, ConfigRefusesBadValuesOnTheirControlAndStoresNothing) {
  // The numbers share one check against the ranges and messages of the
  // settings table: one row for them all.
  const struct {
    const char *field, *value;
    std::string message;
  } cases[] = {
      {"108", "301", "Auto-delete days has to be between 5 to 300. Please reenter."},
      {"210", "24:00", kLConfigTimeFormat},
      {"211", "12:00", kLConfigBreakOrder},
      {"122", "game.exe\r\nZ=1", kLConfigOneLine},
  };
  const std::string before = SettingsFiles();
  for (const auto& c : cases) {
    auto form = ValidConfigForm();
    form[c.field] = c.value;
    SCOPED_TRACE(std::string(c.field) + "=" + c.value);
    const std::string answer = PostConfig(form);
    EXPECT_TRUE(Contains(answer, ErrorRow(c.message)));
    EXPECT_NE(HtmlPage(answer).ByName(c.field), nullptr);
    EXPECT_EQ(SettingsFiles(), before);
  }
}

// What the save stores; a value the form leaves as it was in effect is not
// stored (one write per file is the settings holder's test).
TEST_F(OrgSettingsPagesTest, ConfigWritesTheChangedValues) {
  auto form = ValidConfigForm();
  form["108"] = "300";
  EXPECT_EQ(PostConfig(form), Redirect("mainpage"));
  EXPECT_EQ(SettingsFiles(),
            "defaultworkhours=38\r\nbreaktimefrom=12:30:00\r\nbreaktimeto=13:15:00\r\nweeklyreporthours=0\r\n"
            "weeklyreportenoughhourstolerance=7\r\ninsufficienthourswarningtostaff=0\r\n"
            "insufficienthourswarningtomanagers=0\r\ninsufficienthourswarningtohr=0\r\n"
            "insufficienthourswarningtolerance=0\r\ncasualhoursemailtohrendofmonth=0\r\n"
            "casualhoursemailtohrdaysofmonth=1\r\ncasualhoursemailtohrdaysofmonthdays=14, 28\r\n"
            "casualhoursemailtohrendoffortnightstartdate=2026-01-05\r\nprivateprograms=game.exe,chat.exe\r\n"
            "sendbusinessprogramslist=0\r\nbusinessprograms=word.exe\r\nweeklyreportapplications=0\r\n|"
            "setupwizardrun=0\r\nautodeletedays=300\r\nshowusercaptions=-1\r\nmodehours=0\r\ntolerancetime=12\r\n");

  // "No breaks" keeps the stored break times; the dialog shows what is stored.
  form = ValidConfigForm();
  form["rbg2"] = "203";
  form["210"] = "garbage";
  EXPECT_EQ(PostConfig(form), Redirect("mainpage"));
  EXPECT_EQ(LSettingGetString("Company", "BreakTimeExclude") + LSettingGetString("Company", "BreakTimeFrom"),
            "012:30:00");
  const HtmlPage page(Get("config", Admin()));
  EXPECT_EQ(page.Field("108") + "|" + page.Field("122"), "30|game.exe,chat.exe");
}

// Sent back as the browser shows it, the form leaves every file byte for
// byte, hand edits included.
TEST_F(OrgSettingsPagesTest, ConfigStoresOnlyWhatTheFormChanged) {
  const std::pair<const char*, const char*> handEdits[] = {
      {"ToleranceTime", "4"}, {"AutoDeleteDays", "0"}, {"LeaveApprovalRequired", "yes"}, {"ShowUserCaptions", "5"}};
  for (const bool edited : {false, true}) {
    if (edited) {
      for (const auto& [key, value] : handEdits) LSettingSetString("Settings", key, value);
      LSettingSetString("Company", "BreakTimeFrom", "9:00");
    }
    const std::string before = SettingsFiles();
    EXPECT_EQ(Post("config", SendBack(Get("config", Admin()), "submit=++OK++"), Admin()), Redirect("mainpage"));
    EXPECT_EQ(SettingsFiles(), before) << edited;
  }
}

// The add dialogs of teams, leave types and holidays: a refusal on its
// control (the name rules are the model's) and what an accepted one adds.
// Listing and deleting are walked in the browser test.
TEST_F(OrgSettingsPagesTest, AddDialogsRefuseOnTheirControlOrAdd) {
  for (const std::string& type : KXGetLeaveTypeNames()) ASSERT_TRUE(KXDeleteLeaveType(type));
  const std::string holiday = "101=2026-12-27&102=";
  const struct {
    const char* page;
    std::string body, answer;
  } adds[] = {
      {"addteam", "101=Sales", "Location: teamlist"},
      {"addteam", "101=++sales+", ErrorRow(kLTeamExists)},
      {"addleavetype", "101=Long+service", "Location: leavetypelist"},
      {"addholiday", "101=2026-12-25&102=2026-12-26&103=Christmas", "Location: holidaylist"},
      {"addholiday", "101=2026-12-26&102=2026-12-28", ErrorRow(kLHolidayExists)},
      {"addholiday", holiday + "2026-12-26", ErrorRow(kLHolidayEndBeforeStart)},
      {"addholiday", holiday + "27.12.2026", ErrorRow(kLHolidayBadDate)},
  };
  for (const auto& add : adds) {
    SCOPED_TRACE(std::string(add.page) + " " + add.body);
    EXPECT_TRUE(Contains(Post(add.page, add.body + "&submit=++OK++", Admin()), add.answer));
  }
  EXPECT_EQ(KXGetTeamNames(), (std::vector<std::string>{"Sales"}));
  EXPECT_EQ(KXGetLeaveTypeNames(), (std::vector<std::string>{"Long service"}));
  EXPECT_EQ(KXPublicHolidayCount(), 1);
}

}  // namespace
