// The weekly staff report and the two weekly warnings, composed from a
// registry and logs on disk; the finished mails are taken at the send
// boundary and compared byte for byte.

#include "maintenance/weekly_report.h"

#include "foundation/settings_sections.h"
#include "maintenance/staff_week.h"
#include "model/core_data.h"
#include "model/users.h"
#include "support/test_helpers.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

struct Mail {
  std::string to, subject, body;
  bool operator==(const Mail&) const = default;
};
void PrintTo(const Mail& m, std::ostream* os) { *os << m.to << "|" << m.subject << "|" << ::testing::PrintToString(m.body); }

const char kBlock[] = "    http://203.0.113.9:89/ (local network)\r\n    http://203.0.113.9:89/ (over the Internet)\r\n";

class WeeklyReportTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    zone_.emplace("Europe/Berlin");  // the week ends on the spring-forward Sunday
    LDateTime::SetFakeNow(KavrixAt("2027-03-30", "02:02:00").value);
    LSettingSetString("Routing", "LocalAddressMode", "4");
    LSettingSetString("Routing", "PublicAddressMode", "1");
    LSettingSetString("Routing", "StaticIPAddress", "203.0.113.9");
    LSettingSetString("Company", "DefaultWorkHours", "0");
    ASSERT_TRUE(KXAddUser("mia@x.example", "Mia", false, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "mia@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("tom@x.example", "Tom", false, false, "", "mia@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("cas@x.example", "Cas", false, false, "", "mia@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("hana@x.example", "Hana", false, true, "", "", "pw"));
    Set("sam@x.example", kKXUserWorkHours, 40);
    Set("tom@x.example", kKXUserWorkHours, 40);
    Set("tom@x.example", kKXUserWorkDays, 62);
    Set("cas@x.example", kKXUserWorkType, 2);
    // Sam: 388 minutes on six days, 3% short of 40 hours; his programs on Monday.
    const char* days[] = {"2027-03-22", "2027-03-23", "2027-03-24", "2027-03-25", "2027-03-26", "2027-03-27"};
    for (const char* day : days) ASSERT_TRUE(LKXCoreData::LogManualEntry("sam@x.example", KavrixAt(day, "08:00:00"), 388 * 60, 0, "m"));
    Activity("sam@x.example", "08:00:00", 1200, 0, 5, 0, "Word");
    Activity("sam@x.example", "08:20:00", 900, 0, 0, 3, "Excel");
    Activity("sam@x.example", "08:35:00", 900, 0, 1, 1, "Mail");
    Activity("sam@x.example", "08:50:00", 600, 0, 1, 0, "Browser");
    Activity("sam@x.example", "09:00:00", 300, 0, 1, 0, "Chat");
    Activity("sam@x.example", "09:05:00", 300, 0, 1, 0, "Notes");
    Activity("sam@x.example", "09:10:00", 600, 1, 1, 1, "Game");  // private
    Activity("sam@x.example", "09:20:00", 600, 0, 0, 0, "Idle");  // no input
    // Tom: Monday to Wednesday, leave on Thursday, nothing on Friday: 2% short.
    for (const char* day : {"2027-03-22", "2027-03-23", "2027-03-24"}) {
      ASSERT_TRUE(LKXCoreData::LogManualEntry("tom@x.example", KavrixAt(day, "08:00:00"), 627 * 60, 0, "m"));
    }
    ASSERT_TRUE(LKXCoreData::LogLeaveEntry("tom@x.example", KavrixAt("2027-03-25", "00:00:00"), KavrixAt("2027-03-25", "00:00:00"),
                                           "sick", "", ""));
    Activity("tom@x.example", "08:00:00", 3000, 0, 1, 0, "Work");
    Activity("tom@x.example", "08:50:00", 2940, 0, 1, 0, "Work");
    Activity("tom@x.example", "09:39:00", 60, 0, 1, 0, "Chat");
    // Cas, casual: ten minutes in the program Sam saw first as "Word".
    ASSERT_TRUE(LKXCoreData::LogActivity("cas@x.example", KavrixAt("2027-03-23", "10:00:00"), 600, 0, 1, 0, "WORD", "c"));
  }
  void Set(const char* email, const LKXUserKey& key, int value) {
    LKXUser user;
    ASSERT_TRUE(KXGetUser(email, user));
    ASSERT_TRUE(user.SetNumber(key, value));
  }
  void Activity(const char* email, const char* time, int seconds, int flags, int keys, int clicks, const char* app) {
    ASSERT_TRUE(LKXCoreData::LogActivity(email, KavrixAt("2027-03-22", time), seconds, static_cast<std::uint16_t>(flags), keys,
                                         clicks, app, "caption"));
  }
  std::vector<Mail> Compose(void (*compose)(LThread*, LKXStaffWeek&, const LKXMailSink&)) {
    std::vector<Mail> mails;
    LKXStaffWeek week(KavrixAt("2027-03-22", "02:02:00"), KavrixAt("2027-03-28", "03:02:00"));
    compose(nullptr, week, [&mails](std::string_view to, std::string_view subject, std::string_view body) {
      mails.push_back({std::string(to), std::string(subject), std::string(body)});
      return true;
    });
    return mails;
  }
  std::optional<KavrixScopedTimeZone> zone_;
};

TEST_F(WeeklyReportTest, ReportToTheManagerWithEverySection) {
  const std::vector<Mail> mails = Compose(KXComposeWeeklyReports);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to + "|" + mails[0].subject, "mia@x.example|Weekly Staff Report");
  EXPECT_EQ(mails[0].body,
            "\r\n\r\nTo: Mia\r\n"
            "\r\nStaff Worked Hours (2027-03-22 to 2027-03-28)\r\n\r\nName\tBreaks\tActive\tIdle\tManual\tTotal\r\n\r\n"
            "Sam\t00:00\t00:00\t00:00\t38:48\t38:48\r\n"
            "Tom\t00:00\t00:00\t00:00\t31:21\t31:21\r\n"
            "Cas\t00:00\t00:10\t00:00\t00:00\t00:10\r\n"
            "\r\nTop 5 most commonly used applications\r\n\r\nName\t\tTotal Time Spent\tTotal Percentage\r\n\r\n"
            "Work\t\t01:39:00\t55.00%\r\nWord\t\t00:30:00\t16.67%\r\nMail\t\t00:15:00\t8.33%\r\n"
            "Excel\t\t00:15:00\t8.33%\r\nBrowser\t\t00:10:00\t5.56%\r\n\r\n"
            "Unexplained missing working days of your permanent staff: \r\n\r\nTom\t2027-03-26\t\r\n\r\n"
            "Permanent staff who did not work enough hours last week\r\n\r\n"
            "Name\tRequire Hours\tWorked Hours\tPercentage Short\r\n\r\nSam\t40\t38:48\t3%\r\n\r\n");
  // Sections switched off leave the greeting alone.
  for (const char* key : {"WeeklyReportHours", "WeeklyReportApplications", "WeeklyReportNonWorking", "WeeklyReportEnoughHours"}) {
    LSettingSetString("Company", key, "0");
  }
  EXPECT_EQ(Compose(KXComposeWeeklyReports)[0].body, "\r\n\r\nTo: Mia\r\n");
}

TEST_F(WeeklyReportTest, InsufficientHoursWarningsAboveTheTolerance) {
  const std::string staff =
      std::string("This is an automatic notice generated by KavrixServer.\r\n\r\nYour tracked worked hours is less than "
                  "your specified work hours for last week (from 2027-03-22 to 2027-03-28).\r\n\r\nThe time you are "
                  "specified to work per week is 40:00 hours. The time you were actually tracked to have actually worked "
                  "last week was 38:48 hours. This is 01:12 hours (3 percent) short.\r\n\r\nA copy of this notice has "
                  "been sent to your manager.\r\n\r\nPlease logon to KavrixServer web page to check out the details."
                  "\r\n\r\n") + kBlock;
  const std::string copy =
      std::string("This is an automatic notice generated by KavrixServer.\r\n\r\nThe tracked hours for Sam was below the "
                  "the specified hours for last week (from 2027-03-22 to 2027-03-28).\r\n\r\n- Work hours specified for "
                  "Sam are 40 hours per week.\r\n- The tracked hours worked last week were 38:48.\r\n- This is 01:12 "
                  "hours (3 percent) short.\r\n\r\nTo view more details or reports, please logon to KavrixServer:\r\n") +
      kBlock;
  const std::vector<Mail> expected = {{"sam@x.example", "KavrixServer: Work hours notice", staff},
                                      {"mia@x.example", "KavrixServer: Work hours notice [Sam]", copy},
                                      {"hana@x.example", "KavrixServer: Work hours notice [Sam]", copy}};
  EXPECT_EQ(Compose(KXComposeInsufficientHoursWarnings), expected);
  // Either copy switch left on copies to both; both off, to neither.
  LSettingSetString("Company", "InsufficientHoursWarningToHR", "0");
  EXPECT_EQ(Compose(KXComposeInsufficientHoursWarnings), expected);
  LSettingSetString("Company", "InsufficientHoursWarningToManagers", "0");
  LSettingSetString("Company", "InsufficientHoursWarningToStaff", "0");
  EXPECT_TRUE(Compose(KXComposeInsufficientHoursWarnings).empty());
  // Tom, 2% short, is warned only with a tolerance below 2.
  LSettingSetString("Company", "InsufficientHoursWarningToStaff", "1");
  LSettingSetString("Company", "InsufficientHoursWarningTolerance", "1");
  std::vector<Mail> warned = Compose(KXComposeInsufficientHoursWarnings);
  ASSERT_EQ(warned.size(), 2u);
  EXPECT_EQ(warned[1].to, "tom@x.example");
}

TEST_F(WeeklyReportTest, PrivateProgramsWarningsListOnlyProgramsOverTwoPercent) {
  LSettingSetString("Company", "PrivatePrograms", "chat, Game");
  LSettingSetString("Company", "PrivateProgramsWarningEmailToManager", "1");
  const std::string head =
      "Please note: the following private-like programs have been used under working mode for more than 2% of total "
      "time during the period 2027-03-22 ~ 2027-03-28.\r\n\r\nIf they are private, please click the private mode "
      "button when you are using them.\r\n\r\nName\t\tTotal Time Spent\tTotal Percentage\r\n\r\n";
  const std::string copy = " has been using the following private-like programs under working mode for more than 2% of "
                           "total time during the period 2027-03-22 ~ 2027-03-28.\r\n\r\n";
  const std::vector<Mail> expected = {
      {"sam@x.example", "Private programs usage warning", "\r\nTo: Sam\r\n\r\n" + head + "Chat\t\t00:05:00\t7.14%\r\n"},
      {"mia@x.example", "Private programs usage warning of Sam",
       "\r\nTo: Mia\r\n\r\nOne of your staff Sam" + copy + "Chat\t\t00:05:00\t7.14%\r\n"},
      // Tom's 1% brings the warning without a line.
      {"tom@x.example", "Private programs usage warning", "\r\nTo: Tom\r\n\r\n" + head},
      {"mia@x.example", "Private programs usage warning of Tom", "\r\nTo: Mia\r\n\r\nOne of your staff Tom" + copy}};
  EXPECT_EQ(Compose(KXComposePrivateProgramsWarnings), expected);
}

}  // namespace
