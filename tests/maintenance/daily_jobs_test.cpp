// The daily jobs on fixture data: screenshot clean-up and its safety,
// holiday detection, the per-user steps with broken records among them,
// and the casual-staff schedules.

#include "maintenance/daily_jobs.h"

#include "foundation/settings_sections.h"
#include "maintenance/casual_schedule.h"
#include "maintenance/maintenance_pass.h"
#include "maintenance/screenshot_cleanup.h"
#include "model/core_data.h"
#include "model/public_holidays.h"
#include "model/users.h"
#include "support/log_lines.h"
#include "support/test_helpers.h"
#include "support/test_dates.h"
#include "support/time_zone.h"
#include "support/user_text.h"

namespace {

namespace fs = std::filesystem;

class DailyJobsTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    zone_.emplace("Europe/Berlin");
    LDateTime::SetFakeNow(KavrixAt("2027-03-31", "02:02:00").value);  // a Wednesday
    LSettingSetString("Settings", "SystemArchiveFolder", TempDir() + "/archive");
    fs::create_directories(TempDir() + "/archive");
  }
  std::string Folder(const char* email) {
    std::string folder;
    EXPECT_TRUE(LKXCoreData::GetUserArchiveFolder(email, folder));
    return folder;
  }
  std::optional<KavrixScopedTimeZone> zone_;
};

TEST_F(DailyJobsTest, ScreenshotCleanUpDeletesOnlyOldDatedFoldersAndFollowsNoLink) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "", "pw"));
  const std::string ann = Folder("ann@x.example");
  const std::string outside = TempDir() + "/outside";
  for (const char* name :
       {"2027-03-01_qascreens", "2027-03-02_qascreens", "2027-01-01_qascreens", "backup_qascreens",
        "2027-01-01_qascreens_old", "2027-02-30_qascreens"}) {
    fs::create_directories(ann + "/" + name);
    ASSERT_TRUE(KavrixWriteFile(ann + "/" + name + "/10-00-00.jpg", "jpeg"));
  }
  fs::create_directories(outside + "/2027-01-01_qascreens");
  ASSERT_TRUE(KavrixWriteFile(outside + "/keep.jpg", "mine"));
  ASSERT_TRUE(KavrixWriteFile(outside + "/2027-01-01_qascreens/keep.jpg", "mine"));
  // A link inside an old folder goes with it as a link; its target stays.
  fs::create_symlink(outside + "/keep.jpg", ann + "/2027-01-01_qascreens/link.jpg");
  fs::create_symlink(outside, ann + "/2027-01-02_qascreens");
  // A user folder that is a link to elsewhere is not walked.
  fs::remove_all(Folder("bob@x.example"));
  fs::create_symlink(outside, TempDir() + "/archive/bob@xexample");

  LSettingSetString("Settings", "AutoDeleteDays", "0");
  KXDeleteOldScreenshots(nullptr);
  EXPECT_EQ(KavrixFolderEntries(ann).size(), 7u);
  LSettingSetString("Settings", "AutoDeleteDays", "");  // 30 days
  KXDeleteOldScreenshots(nullptr);
  // 2027-03-01 is 30 days old, 2027-03-02 29; the rest are no dated folders.
  EXPECT_EQ(KavrixFolderEntries(ann),
            (Strings{"2027-01-01_qascreens_old", "2027-01-02_qascreens", "2027-02-30_qascreens",
                     "2027-03-02_qascreens", "backup_qascreens"}));
  EXPECT_EQ(KavrixReadFile(outside + "/keep.jpg"), "mine");
  EXPECT_EQ(KavrixReadFile(outside + "/2027-01-01_qascreens/keep.jpg"), "mine");
}

// A broken record or an unreadable log is logged, the run goes on with the
// next user, and the stamp is written so that the run does not repeat.
TEST_F(DailyJobsTest, BrokenRecordsAreLoggedAndTheRunStillCompletes) {
  for (const char* email : {"ann@x.example", "bad@x.example", "sam@x.example"}) {
    ASSERT_TRUE(KXAddUser(email, "U", email[0] == 'a', false, "", "", "pw"));
  }
  LKXUser user;
  ASSERT_TRUE(KXGetUser("bad@x.example", user));
  ASSERT_TRUE(user.SetText(kKXUserEmpStartDate, "yesterday-ish"));
  ASSERT_TRUE(user.SetNumber(kKXUserWorkDays, 127));
  // Record 1 loses its address: a record no job can use.
  ASSERT_TRUE(KXGetUser("ann@x.example", user));
  ASSERT_TRUE(user.SetText(kKXUserEmail, ""));
  ASSERT_TRUE(KXGetUser("sam@x.example", user));
  ASSERT_TRUE(user.SetNumber(kKXUserWorkDays, 127));
  // Sam's log of last Monday is a folder where a file should be.
  fs::create_directories(Folder("sam@x.example") + "/2027-03-22_activity.csv");
  LSettingSetString("Settings", kKXRunDailyMaintenance, "1");
  LSettingSetString("Settings", kKXRunWeeklyMaintenance, "1");
  LSettingSetString("Company", "WeeklyReportToManagers", "0");
  LSettingSetString("Company", "InsufficientHoursWarningEmail", "0");
  LSettingSetString("Email", "MailSMTPHost", "127.0.0.1:1");
  KXMaintenancePass({});

  EXPECT_TRUE(KavrixLogged("User record 0 has no e-mail address; skipped"));
  EXPECT_TRUE(KavrixLogged("Unreadable \"EmpStartDate\" of bad@x.example: yesterday-ish"));
  // The users after them had their turn.
  EXPECT_EQ(KavrixUserText("bad@x.example", {kKXUserLeaveFormRemindEmail}) +
                KavrixUserText("sam@x.example", {kKXUserLeaveFormRemindEmail,
                                                 kKXUserLeaveFormRemindEmailToManagers}),
            "2027-03-30|2027-03-30|2027-03-23|");
  EXPECT_EQ(LSettingGetString("Settings", kKXRunDailyMaintenance) + "|" + LSettingGetString("Settings", kKXLastDailyService) +
                "|" + LSettingGetString("Settings", kKXLastWeeklyService), "0|2027-03-31 02:02:00|2027-03-31 02:02:00");
  // The weekly warnings read the broken log as empty, and say so.
  LSettingSetString("Company", "InsufficientHoursWarningEmail", "1");
  LDateTime::SetFakeNow(KavrixAt("2027-03-30", "02:02:00").value);
  LSettingSetString("Settings", kKXRunWeeklyMaintenance, "1");
  KXMaintenancePass({});
  EXPECT_TRUE(KavrixLogged("Unreadable activity log " + Folder("sam@x.example") +
                     "/2027-03-22_activity.csv; counted as empty"));
}

TEST_F(DailyJobsTest, HolidayDetectionNeedsFourUsersAndMoreThanHalfAbsent) {
  // Two days before Wednesday 2027-03-31 is Monday the 29th.
  struct Row {
    int users;
    int with_log;
    bool added;
  };
  for (const Row& row : {Row{4, 1, true}, Row{4, 2, false}, Row{3, 0, false}}) {
    TearDown();
    SetUp();
    for (int i = 0; i < row.users; ++i) {
      const std::string email = "u" + std::to_string(i) + "@x.example";
      ASSERT_TRUE(KXAddUser(email, "U", i == 0, false, "", "", "pw"));
      if (i < row.with_log) {
        ASSERT_TRUE(LKXCoreData::LogActivity(email, KavrixAt("2027-03-29", "10:00:00"), 60, 0, 1, 1, "a", "b"));
      }
    }
    LSettingSetString("Settings", "ModeHours", "0");
    LSettingSetString("Settings", "ModeLeave", "0");  // no mail to send
    KXDetectPublicHoliday(nullptr, LDateTime::Now());
    EXPECT_EQ(KXIsPublicHoliday("2027-03-29"), row.added) << row.users << "/" << row.with_log;
    if (!row.added) continue;
    KXDetectPublicHoliday(nullptr, LDateTime::Now());
    EXPECT_EQ(KXPublicHolidayCount(), 1);
    // Saturday and Sunday are never examined.
    KXDetectPublicHoliday(nullptr, KavrixAt("2027-03-29", "02:02:00"));
    KXDetectPublicHoliday(nullptr, KavrixAt("2027-03-30", "02:02:00"));
    EXPECT_EQ(KXPublicHolidayCount(), 1);
  }
}

TEST_F(DailyJobsTest, NoConnectionNoticesAtTwentyFourAndFortyEightHours) {
  LDateTime::SetFakeNow(KavrixAt("2027-03-29", "10:00:00").value);
  ASSERT_TRUE(KXAddUser("new@x.example", "New", false, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("old@x.example", "Old", false, false, "", "", "pw"));
  ASSERT_TRUE(LKXCoreData::LogActivity("old@x.example", KavrixAt("2027-03-29", "10:00:00"), 60, 0,
                                       1, 1, "a", "b"));
  // The notices of the new user, then of the one who wrote a log: never noticed.
  const struct {
    const char* day;
    const char* time;
    const char* notices;
  } rows[] = {{"2027-03-30", "09:59:59", "0|0|0|0|"},
              {"2027-03-30", "10:00:00", "1|0|0|0|"},
              {"2027-03-31", "10:00:00", "1|1|0|0|"}};
  for (const auto& row : rows) {
    std::string notices;
    for (const char* email : {"new@x.example", "old@x.example"}) {
      LKXUser user;
      ASSERT_TRUE(KXGetUser(email, user));
      EXPECT_TRUE(KXMarkNoConnectionNotices(user, KavrixAt(row.day, row.time)));
      notices += KavrixUserText(email, {kKXUserNonConnectNotice24, kKXUserNonConnectNotice48});
    }
    EXPECT_EQ(notices, row.notices) << row.time;
  }
}

TEST_F(DailyJobsTest, CasualReportSchedules) {
  using Settings = std::vector<std::pair<const char*, const char*>>;
  const Settings weekly = {{"CasualHoursEmailToHREndOfMonth", "0"}, {"CasualHoursEmailToHREndOfWeek", "1"}};
  const Settings fortnightFrom3rd = {{"CasualHoursEmailToHREndOfMonth", "0"},
                                     {"CasualHoursEmailToHREndOfFortnight", "1"},
                                     {"CasualHoursEmailToHREndOfFortnightStartDate", "2027-03-03"}};
  const Settings days = {{"CasualHoursEmailToHREndOfMonth", "0"}, {"CasualHoursEmailToHRDaysOfMonth", "1"},
                         {"CasualHoursEmailToHRDaysOfMonthDays", "1, 15"}};
  struct Row {
    Settings settings;
    const char* today;
    const char* period;  // "" when not due
  };
  const std::vector<Row> rows = {
      {{}, "2027-01-02", "2026-12-01 ~ 2026-12-31"},
      // Monthly when unset: the weekly switch is not consulted.
      {{{"CasualHoursEmailToHREndOfWeek", "1"}}, "2027-03-30", ""},
      {weekly, "2027-03-30", "2027-03-22 ~ 2027-03-28"},
      {weekly, "2027-03-31", ""},
      {fortnightFrom3rd, "2027-03-31", "2027-03-14 ~ 2027-03-29"},
      {fortnightFrom3rd, "2027-03-24", ""},
      {days, "2027-03-15", "2027-02-28 ~ 2027-03-13"},
      {days, "2027-04-01", "2027-03-14 ~ 2027-03-30"},
      {days, "2027-04-02", ""},
  };
  for (const Row& row : rows) {
    TearDown();
    SetUp();
    for (const auto& [key, value] : row.settings) LSettingSetString("Company", key, value);
    const LKXCasualPeriod due = KXCasualHoursDue(KavrixAt(row.today, "02:02:00"));
    const std::string got = due.due ? due.start.GetDateText() + " ~ " + due.end.GetDateText() : "";
    EXPECT_EQ(got, row.period) << row.today;
  }
}

// Across the spring change the reminder still names yesterday, not the day
// before it.
TEST_F(DailyJobsTest, LeaveReminderNamesYesterdayAcrossTheClockChange) {
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "", "pw"));
  LKXUser sam;
  ASSERT_TRUE(KXGetUser("sam@x.example", sam));
  ASSERT_TRUE(sam.SetNumber(kKXUserWorkDays, 127));
  KXMarkLeaveFormReminder(sam, KavrixAt("2027-03-29", "00:30:00"));
  EXPECT_EQ(KavrixUserText("sam@x.example", kKXUserLeaveFormRemindEmail), "2027-03-28");
  // Worked, a holiday, casual: no reminder.
  ASSERT_TRUE(LKXCoreData::LogManualEntry("sam@x.example", KavrixAt("2027-03-27", "10:00:00"), 60, 0, "x"));
  ASSERT_TRUE(KXAddPublicHoliday("2027-03-25", "2027-03-25", "x"));
  for (const char* today : {"2027-03-28", "2027-03-26"}) {
    ASSERT_TRUE(sam.SetText(kKXUserLeaveFormRemindEmail, ""));
    KXMarkLeaveFormReminder(sam, KavrixAt(today, "02:02:00"));
    EXPECT_EQ(KavrixUserText("sam@x.example", kKXUserLeaveFormRemindEmail), "0") << today;
  }
  ASSERT_TRUE(sam.SetNumber(kKXUserWorkType, 2));
  KXMarkLeaveFormReminder(sam, KavrixAt("2027-03-30", "02:02:00"));
  EXPECT_EQ(KavrixUserText("sam@x.example", kKXUserLeaveFormRemindEmail), "0");
}

}  // namespace
