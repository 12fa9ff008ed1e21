// The pass on the fake clock: a whole simulated week, minute by minute,
// across a daylight-saving change, with the real SMTP peer receiving the
// mails; and the schedule's edges.

#include "maintenance/maintenance_pass.h"

#include "maintenance/maintenance_thread.h"
#include "maintenance/offline_caption.h"

#include <map>

#include "foundation/settings_sections.h"
#include "model/dropped_records.h"
#include "model/users.h"
#include "support/mail_peer_fixture.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"
#include "support/user_text.h"

namespace {

class MaintenancePassTest : public MailPeerTest {
 protected:
  std::string Setting(const char* key) { return LSettingGetString("Settings", key); }
  // Sam works Monday to Friday, nine to five.
  static void NineToFive(LKXUser& sam) {
    ASSERT_TRUE(sam.SetNumber(kKXUserWorkDays, 62));
    ASSERT_TRUE(sam.SetText(kKXUserNormalHourStart, "09:00:00"));
    ASSERT_TRUE(sam.SetText(kKXUserNormalHourEnd, "17:00:00"));
  }
};

struct WeekCase {
  const char* name;
  const char* first_day;  // a Monday
  const char* last_day;   // the Tuesday a week later
  Strings daily;          // the "LastDailyService" stamps, in order
  Strings weeks;          // "(start to end)" of the two weekly reports
};

class SimulatedWeekTest : public MaintenancePassTest, public ::testing::WithParamInterface<WeekCase> {};

TEST_P(SimulatedWeekTest, EachNightRunsOnceAndEachDayIsRemindedOnce) {
  const WeekCase& c = GetParam();
  KavrixScopedTimeZone zone("Europe/Berlin");
  KAVRIX_START_PEER();
  UsePeerAsRelay();
  LDateTime now = KavrixAt(c.first_day, "01:59:00");
  const LDateTime stop = KavrixAt(c.last_day, "03:01:00");
  LDateTime::SetFakeNow(now.value);
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "ann@x.example", "pw"));
  LKXUser sam;
  ASSERT_TRUE(KXGetUser("sam@x.example", sam));
  NineToFive(sam);
  LSettingSetString("Company", "WeeklyReportApplications", "0");

  Strings daily;
  const LKXPassContext context{nullptr, true, 60};
  for (; now <= stop; now += 60) {
    LDateTime::SetFakeNow(now.value);
    KXMaintenancePass(context);
    if (daily.empty() || daily.back() != Setting(kKXLastDailyService)) daily.push_back(Setting(kKXLastDailyService));
  }
  daily.erase(daily.begin());  // the empty value before the first run
  EXPECT_EQ(daily, c.daily);

  // Reminders name each work day once, the weekend and no day twice; the
  // weekly report runs once a week, for the week before.
  Strings reminded, reports;
  for (int n = 1; n <= peer_.MessageCount(); ++n) {
    const std::string subject = peer_.Meta(n).at("subject");
    const std::string text = peer_.Meta(n).at("text");
    if (subject == "KavrixServer: Unexplained Absence Report") reminded.push_back(text.substr(text.find(" on ") + 4, 10));
    if (subject == "Weekly Staff Report") reports.push_back(text.substr(text.find('('), 26));
  }
  Strings weekdays;
  for (LDateTime day = KavrixAt(c.first_day, "12:00:00"); day < KavrixAt(c.last_day, "00:00:00"); day.AddCalendarDays(1)) {
    if (day.GetWeekDay().value & 62) weekdays.push_back(day.GetDateText());
  }
  EXPECT_EQ(reminded, weekdays);
  EXPECT_EQ(reports, c.weeks);
}

INSTANTIATE_TEST_SUITE_P(
    DaylightSaving, SimulatedWeekTest,
    ::testing::Values(
        // The clocks skip 02:00 to 03:00 on Sunday: that night runs in the hour after.
        WeekCase{"Spring", "2027-03-22", "2027-03-30",
                 {"2027-03-22 02:02:00", "2027-03-23 02:02:00", "2027-03-24 02:02:00", "2027-03-25 02:02:00",
                  "2027-03-26 02:02:00", "2027-03-27 02:02:00", "2027-03-28 03:02:00", "2027-03-29 02:02:00",
                  "2027-03-30 02:02:00"},
                 {"(2027-03-15 to 2027-03-21)", "(2027-03-22 to 2027-03-28)"}},
        // The hour from 02:00 comes twice on Sunday: it runs in the first only.
        WeekCase{"Autumn", "2026-10-19", "2026-10-27",
                 {"2026-10-19 02:02:00", "2026-10-20 02:02:00", "2026-10-21 02:02:00", "2026-10-22 02:02:00",
                  "2026-10-23 02:02:00", "2026-10-24 02:02:00", "2026-10-25 02:02:00", "2026-10-26 02:02:00",
                  "2026-10-27 02:02:00"},
                 {"(2026-10-12 to 2026-10-18)", "(2026-10-19 to 2026-10-25)"}}),
    [](const ::testing::TestParamInfo<WeekCase>& info) { return std::string(info.param.name); });

TEST_F(MaintenancePassTest, TheNightHourAndTheFourHourRule) {
  KavrixScopedTimeZone zone("Europe/Berlin");
  struct Row {
    const char* date;
    const char* time;
    bool inside;
  };
  // The spring and autumn nights are the simulated weeks'.
  for (const Row& row : {Row{"2027-03-23", "02:00:00", false}, Row{"2027-03-23", "02:00:01", true},
                         Row{"2027-03-23", "02:59:59", true},
                         Row{"2027-03-23", "03:00:00", false}}) {
    EXPECT_EQ(KXInRunHour(KavrixAt(row.date, row.time)), row.inside) << row.date << " " << row.time;
  }
  // Started at 02:30 with the last run 23 hours ago: both runs asked for
  // (a Tuesday); at 03:00:00 exactly, neither.
  LSettingSetString("Settings", kKXLastDailyService, "2027-03-22 03:30:00");
  const auto runs = [this] { return Setting(kKXRunDailyMaintenance) + "|" + Setting(kKXRunWeeklyMaintenance); };
  KXScheduleRuns(KavrixAt("2027-03-23", "03:00:00"));
  EXPECT_EQ(runs(), "|");
  KXScheduleRuns(KavrixAt("2027-03-23", "02:30:00"));
  EXPECT_EQ(runs(), "1|1");
  // Less than four hours since the last: no new request; Wednesday: no weekly one.
  LSettingSetString("Settings", kKXRunDailyMaintenance, "0");
  LSettingSetString("Settings", kKXRunWeeklyMaintenance, "0");
  LSettingSetString("Settings", kKXLastDailyService, "2027-03-23 00:00:01");
  LSettingSetString("Settings", kKXLastWeeklyService, "2027-03-23 00:00:01");
  KXScheduleRuns(KavrixAt("2027-03-23", "02:30:00"));
  EXPECT_EQ(Setting(kKXRunDailyMaintenance), "0");
  KXScheduleRuns(KavrixAt("2027-03-24", "02:30:00"));
  EXPECT_EQ(runs(), "1|0");
}

TEST_F(MaintenancePassTest, ARunRequestedByHandRunsAtTheNextPassWhateverTheHour) {
  KavrixScopedTimeZone zone("Europe/Berlin");
  LDateTime::SetFakeNow(KavrixAt("2027-03-24", "12:34:56").value);
  LSettingSetString("Settings", kKXRunDailyMaintenance, "1");
  LSettingSetString("Settings", kKXRunWeeklyMaintenance, "yes");
  KXMaintenancePass({});
  EXPECT_EQ(Setting(kKXRunDailyMaintenance) + Setting(kKXRunWeeklyMaintenance) + "|" + Setting(kKXLastDailyService) +
                "|" + Setting(kKXLastWeeklyService), "00|2027-03-24 12:34:56|2027-03-24 12:34:56");
}

// The thread keeps the server's bias (east of UTC negative) but shows the
// captions in the server's zone as stations count zones (east positive): a
// user in the server's own zone sees his own hours.
TEST_F(MaintenancePassTest, OfflineCaptionInTheServersZone) {
  KavrixScopedTimeZone zone("Europe/Berlin");
  LDateTime::SetFakeNow(KavrixAt("2027-03-24", "06:00:00").value);
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "", "pw"));
  LKXUser sam;
  ASSERT_TRUE(KXGetUser("sam@x.example", sam));
  NineToFive(sam);
  ASSERT_TRUE(sam.SetNumber(kKXUserTimeZone, 60));
  EXPECT_TRUE(KXUpdateOfflineCaption(sam, -KXLocalTimeZoneBias()));
  EXPECT_EQ(KavrixUserText("sam@x.example", {kKXUserLastCaption, kKXUserStateChanged}),
            "will be online from 09:00:00 today|" + std::to_string(LDateTime::Now().value) + "|");
  // The same phrase in other letters is no change; a connected user keeps his caption.
  ASSERT_TRUE(sam.SetText(kKXUserLastCaption, "WILL BE ONLINE FROM 09:00:00 TODAY"));
  EXPECT_FALSE(KXUpdateOfflineCaption(sam, 60));
  ASSERT_TRUE(sam.SetFlag(kKXUserConnected, true));
  ASSERT_TRUE(sam.SetText(kKXUserLastCaption, "Editing a report"));
  EXPECT_FALSE(KXUpdateOfflineCaption(sam, 60));
  EXPECT_EQ(KavrixUserText("sam@x.example", kKXUserLastCaption), "Editing a report");
}

}  // namespace
