// The organisation settings pages over real loopback HTTP: the
// configuration dialog's checks and stored keys, and the team, leave-type
// and holiday lists with their add dialogs and the registry's rules.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "hours_pages_fixture.h"
#include "model/public_holidays.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/test_helpers.h"
#include "web/pages/org/org_add_pages.h"
#include "web/pages/setup/config_page.h"
#include "web/text/uri_codec.h"

namespace {

// A complete configuration form as the dialog posts it, by field.
std::map<std::string, std::string> ValidConfigForm() {
  return {{"108", "30"},       {"115", "on"},         {"rbg3", "314"},
          {"rbg1", "112"},     {"116", "on"},         {"118", "on"},
          {"120", "38"},       {"107", "12"},         {"rbg2", "202"},
          {"210", "12:30"},    {"211", "13:15:00"},   {"301", "on"},
          {"306", "7"},        {"312", "0"},          {"402", "on"},
          {"322", "14, 28"},   {"323", "2026-01-05"}, {"122", "game.exe,chat.exe"},
          {"123", "word.exe"}, {"submit", "  OK  "}};
}

class OrgSettingsPagesTest : public HoursPagesTest {
 protected:
  std::string Admin() { return SessionOf("boss"); }
  static std::string ConfigBody(const std::map<std::string, std::string>& fields) {
    return Encode(HtmlFields(fields.begin(), fields.end()), "");
  }
  std::string SettingsFile(const std::string& name) { return KavrixReadFile(SharedFolder() + "/" + name); }
};

TEST_F(OrgSettingsPagesTest, ConfigRefusesBadValuesOnTheirControlAndStoresNothing) {
  const char* kDays = "Auto-delete days has to be between 5 to 300. Please reenter.";
  const char* kHours = "Default Work Hours per week has to be between 0 to 84. Please reenter.";
  const struct {
    const char* field;
    const char* value;
    std::string message;
  } cases[] = {
      {"108", "4", kDays}, {"108", "301", kDays}, {"108", "3O", kDays}, {"120", "85", kHours}, {"120", "-1", kHours},
      {"107", "4", "Tolerance mins has to be between 5 to 30. Please reenter."},
      {"306", "101", kLConfigToleranceRange}, {"312", "99999999999", kLConfigToleranceRange},
      {"210", "24:00", kLConfigTimeFormat}, {"211", "12:00", kLConfigBreakOrder}, {"322", "14,32", kLConfigDaysOfMonth},
      {"322", "14,,28", kLConfigDaysOfMonth}, {"323", "2026-02-30", kLConfigDateFormat},
      {"122", "game.exe\r\nZ=1", kLConfigOneLine}};
  const std::string before = SettingsFile("company") + "|" + SettingsFile("settings");
  for (const auto& c : cases) {
    auto form = ValidConfigForm();
    form[c.field] = c.value;
    SCOPED_TRACE(std::string(c.field) + "=" + c.value);
    const std::string answer = Post("config", ConfigBody(form), Admin());
    EXPECT_TRUE(Contains(answer, ErrorRow(c.message)));
    EXPECT_NE(HtmlPage(answer).ByName(c.field), nullptr);
    EXPECT_EQ(SettingsFile("company") + "|" + SettingsFile("settings"), before);
  }
}

TEST_F(OrgSettingsPagesTest, ConfigStoresEveryKeyInItsFormOncePerFile) {
  for (const char* days : {"5", "300"}) {
    auto form = ValidConfigForm();
    form["108"] = days;
    form["rbg3"] = "315";
    const LUniqueFd watch(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_TRUE(watch);
    ASSERT_GE(inotify_add_watch(watch.Get(), SharedFolder().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);
    EXPECT_EQ(Post("config", ConfigBody(form), Admin()), Redirect("mainpage"));
    // Each settings file is replaced once by the save, however many of its
    // keys changed.
    std::map<std::string, int> replaced;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = read(watch.Get(), buffer, sizeof buffer)) > 0;) {
      for (char* p = buffer; p < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(p);
        if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0) ++replaced[event->name];
        p += sizeof(inotify_event) + event->len;
      }
    }
    // The second save changes nothing there, and leaves the file alone.
    EXPECT_EQ(replaced["company"], days[0] == '5' ? 1 : 0) << days;
    EXPECT_EQ(replaced["settings"], 1) << days;
    EXPECT_EQ(LSettingGetString("Settings", "AutoDeleteDays"), days);
  }
  // A value the form leaves as it was in effect (here the defaults) is not
  // stored: the key stays missing.
  const char* keys[][2] = {
      {"Settings", "LeaveApprovalRequired"}, {"Settings", "AutoDetectHolidays"}, {"Settings", "ShowUserCaptions"},
      {"Settings", "ConnectRemote"}, {"Settings", "ModeQA"}, {"Settings", "ModeHours"}, {"Settings", "ModeLeave"},
      {"Company", "DefaultWorkHours"}, {"Settings", "ToleranceTime"}, {"Company", "BreakTimeExclude"},
      {"Company", "BreakTimeFrom"}, {"Company", "BreakTimeTo"}, {"Company", "WeeklyReportToManagers"},
      {"Company", "WeeklyReportHours"}, {"Company", "WeeklyReportEnoughHoursTolerance"},
      {"Company", "InsufficientHoursWarningTolerance"}, {"Company", "CasualHoursEmailToHRDaysOfMonth"},
      {"Company", "CasualHoursEmailToHRDaysOfMonthDays"}, {"Company", "CasualHoursEmailToHREndOfFortnightStartDate"},
      {"Company", "PrivatePrograms"}, {"Company", "BusinessPrograms"}, {"Company", "SendBusinessProgramsList"}};
  std::string stored;
  for (const auto& key : keys) stored += LSettingGetString(key[0], key[1]) + "|";
  EXPECT_EQ(stored, "||-1|||0||38|12||12:30:00|13:15:00||0|7|0|1|14, 28|2026-01-05|game.exe,chat.exe|word.exe|0|");

  // "No breaks" keeps the stored break times; the dialog shows what is stored.
  auto form = ValidConfigForm();
  form["rbg2"] = "203";
  form["210"] = "garbage";
  EXPECT_EQ(Post("config", ConfigBody(form), Admin()), Redirect("mainpage"));
  EXPECT_EQ(LSettingGetString("Company", "BreakTimeExclude") + LSettingGetString("Company", "BreakTimeFrom"),
            "012:30:00");
  const HtmlPage page(Get("config", Admin()));
  EXPECT_EQ(page.Field("108") + "|" + page.Field("122"), "30|game.exe,chat.exe");
}

TEST_F(OrgSettingsPagesTest, ConfigShowsTheValuesInEffect) {
  const auto shown = [this] {
    const HtmlPage page(Get("config", Admin()));
    EXPECT_TRUE(Contains(page.Text(), "System Configuration"));
    return page.Field("108") + "|" + page.Field("107") + "|" + page.Field("120") + "|" + page.Field("306") + "|" +
           page.Field("312");
  };
  // "ToleranceTime" shows 8, the minutes the hours of past days were worked
  // out with.
  EXPECT_EQ(shown(), "30|8|40|2|2");
  LSettingSetString("Settings", "ToleranceTime", "3");
  LSettingSetString("Settings", "AutoDeleteDays", "0");
  EXPECT_EQ(shown(), "0|5|40|2|2");
}

// Stored states of the settings files; each is opened on the page and sent
// back as the browser shows it, and every file must stay byte for byte.
TEST_F(OrgSettingsPagesTest, ConfigSentBackUnchangedLeavesEveryFileAsItWas) {
  using Keys = std::vector<std::pair<std::pair<const char*, const char*>, const char*>>;
  const Keys fresh = {};
  // Hand edits the readers take otherwise than they are written: out of
  // range, flags as words, short times, captions beyond their range, 0 days.
  const Keys handEdited = {
      {{"Settings", "ToleranceTime"}, "4"}, {{"Settings", "AutoDeleteDays"}, "0"},
      {{"Company", "WeeklyReportEnoughHoursTolerance"}, "150"}, {{"Settings", "LeaveApprovalRequired"}, "yes"},
      {{"Company", "BreakTimeFrom"}, "9:00"}, {{"Company", "BreakTimeTo"}, "9:30"},
      {{"Settings", "ShowUserCaptions"}, "5"},
      {{"Company", "CasualHoursEmailToHRDaysOfMonthDays"}, " 14,28 "},
      {{"Company", "PrivatePrograms"}, "a.exe, b.exe"},
      // Defaults that follow another flag stay unstored.
      {{"Settings", "ModeQA"}, "0"},
      {{"Settings", "ModeHours"}, "0"},
  };
  const Keys allStored = {
      {{"Settings", "ToleranceTime"}, "30"}, {{"Settings", "AutoDeleteDays"}, "300"},
      {{"Company", "DefaultWorkHours"}, "0"}, {{"Company", "BreakTimeExclude"}, "0"},
      {{"Company", "BreakTimeFrom"}, "12:00:00"}, {{"Settings", "ConnectRemote"}, "0"},
      {{"Company", "WeeklyReportApplications"}, "1"}, {{"Settings", "ModeQA"}, "0"},
      {{"Company", "CasualHoursEmailToHREndOfFortnightStartDate"}, "2026-01-05"},
  };
  for (const Keys* state : {&fresh, &handEdited, &allStored}) {
    for (const char* file : {"company", "settings"}) std::remove((SharedFolder() + "/" + file).c_str());
    LSettingSetString("Settings", "SetupWizardRun", "0");
    for (const auto& [key, value] : *state) LSettingSetString(key.first, key.second, value);
    const std::string before = SettingsFile("company") + "|" + SettingsFile("settings");
    const std::string page = Get("config", Admin());
    EXPECT_EQ(Post("config", SendBack(page, "submit=++OK++"), Admin()), Redirect("mainpage"));
    EXPECT_EQ(SettingsFile("company") + "|" + SettingsFile("settings"), before) << state->size();
  }
}

// A change stores that key alone; a flag whose default follows a mode keeps
// what the page showed when the mode is switched off.
TEST_F(OrgSettingsPagesTest, ConfigStoresWhatTheFormChanged) {
  HtmlFields fields = HtmlPage(Get("config", Admin())).Fields();
  for (auto& [name, value] : fields) {
    if (name == "107") value = "12";
  }
  std::erase_if(fields, [](const auto& field) { return field.first == "116"; });  // ModeQA off
  EXPECT_EQ(Post("config", Encode(fields, "submit=++OK++"), Admin()), Redirect("mainpage"));
  EXPECT_EQ(SettingsFile("settings"), "setupwizardrun=0\r\nmodeqa=0\r\ntolerancetime=12\r\n");
  EXPECT_EQ(SettingsFile("company"), "weeklyreportapplications=1\r\n");
}

TEST_F(OrgSettingsPagesTest, TeamsAreAddedCheckedAndDeleted) {
  const struct {
    const char* name;
    std::string answer;
  } adds[] = {{"Sales", "Location: teamlist"},      {"  sales ", ErrorRow(kLTeamExists)},
              {"", ErrorRow(kLTeamEmpty)},          {"a<b>", ErrorRow(kLTeamBadChars)},
              {"x,y", ErrorRow(kLTeamBadChars)},    {"q\"t", ErrorRow(kLTeamBadChars)},
              {"a\r\nb", ErrorRow(kLTeamBadChars)}, {"Front Desk", ErrorRow(kLTeamBadChars)}};
  // The field says which characters a name may hold, so that a space the
  // key filter swallows is no surprise.
  EXPECT_TRUE(Contains(Visible(Get("addteam", Admin())), kLTeamNameHint));
  for (const auto& add : adds) {
    SCOPED_TRACE(add.name);
    EXPECT_TRUE(Contains(Post("addteam", "101=" + LURIEncode(add.name) + "&submit=++OK++", Admin()), add.answer));
  }
  EXPECT_EQ(KXGetTeamNames(), (std::vector<std::string>{"Sales"}));
  ASSERT_TRUE(KXAddTeam("DefaultTeam"));
  const HtmlPage list(Get("teamlist", Admin()));
  ASSERT_NE(list.ByName("check0"), nullptr);
  EXPECT_EQ(list.ByName("check0")->Attribute("value") + "|" + list.Field("count"), "Sales|2");
  // The button's label in any case; DefaultTeam stays.
  Post("teamlistpost", "count=2&check0=Sales&check1=DefaultTeam&submit=delete+team", Admin());
  EXPECT_EQ(KXGetTeamNames(), (std::vector<std::string>{"DefaultTeam"}));
}

TEST_F(OrgSettingsPagesTest, LeaveTypesAllowSpacesAndRefuseDuplicatesInAnyCase) {
  for (const std::string& type : KXGetLeaveTypeNames()) ASSERT_TRUE(KXDeleteLeaveType(type));
  EXPECT_TRUE(Contains(Post("addleavetype", "101=Long+service&submit=++OK++", Admin()), "Location: leavetypelist"));
  EXPECT_TRUE(Contains(Post("addleavetype", "101=LONG+SERVICE&submit=++OK++", Admin()), ErrorRow(kLLeaveTypeExists)));
  EXPECT_TRUE(Contains(Post("addleavetype", "101=+&submit=++OK++", Admin()), ErrorRow(kLLeaveTypeEmpty)));
  EXPECT_TRUE(Contains(Post("addleavetype", "101=%3Cscript%3E&submit=++OK++", Admin()), ErrorRow(kLLeaveTypeBadChars)));
  ASSERT_TRUE(KXAddLeaveType("sick"));
  Post("leavetypepost", "count=2&check0=Long+service&submit=Delete+Leave+Type", Admin());
  EXPECT_EQ(KXGetLeaveTypeNames(), (std::vector<std::string>{"sick"}));
}

TEST_F(OrgSettingsPagesTest, HolidaysAreCheckedAddedListedAndDeleted) {
  const struct {
    const char* start;
    const char* end;
    const char* comment;
    std::string answer;
  } adds[] = {
      {"2026-12-25", "2026-12-26", "Christmas <b>&amp;</b>", "Location: holidaylist"},
      {"2026-12-26", "2026-12-28", "", ErrorRow(kLHolidayExists)},
      {"2026-12-28", "2026-12-27", "", ErrorRow(kLHolidayEndBeforeStart)},
      {"", "2026-12-27", "", ErrorRow(kLHolidayBadDate)},
      {"2026-12-27", "27.12.2026", "", ErrorRow(kLHolidayBadDate)},
      {"2026-12-27", "2026-12-28", "a\r\nb", ErrorRow(kLHolidayCommentOneLine)},
      {"2026-12-27", "2026-12-28", "", "Location: holidaylist"},
  };
  for (const auto& add : adds) {
    const std::string body = "101=" + LURIEncode(add.start) + "&102=" + LURIEncode(add.end) +
                             "&103=" + LURIEncode(add.comment) + "&submit=++OK++";
    SCOPED_TRACE(std::string(add.start) + " " + add.end);
    EXPECT_TRUE(Contains(Post("addholiday", body, Admin()), add.answer));
  }
  EXPECT_EQ(KXPublicHolidayCount(), 2);
  // The dialog starts on today's date (the fake clock's).
  const HtmlPage dialog(Get("addholiday", Admin()));
  EXPECT_EQ(dialog.Field("101") + "|" + dialog.Field("102"), "2026-03-10|2026-03-10");
  const std::string list = Get("holidaylist", Admin());
  EXPECT_TRUE(Contains(list, "value=\"2026-12-25~2026-12-26\""));
  EXPECT_TRUE(Contains(Visible(list), "Christmas <b>&amp;</b>"));
  EXPECT_FALSE(Contains(list, "Christmas <b>"));
  Post("holidaylistpost", "count=2&check1=2026-12-25~2026-12-26&check0=nonsense&submit=Delete+Holiday", Admin());
  const auto left = KXGetPublicHolidays();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].start, "2026-12-27");
}

}  // namespace
