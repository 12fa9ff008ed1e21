// The real program on a Tuesday night: started on the test clock at 02:30
// it asks for the night's runs, carries them out on its next pass (woken by
// a lost-password request, as any page may wake it), and the weekly staff
// report reaches the manager through a real SMTP server with the figures of
// the logs on disk.

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "model/users.h"
#include "support/loopback.h"
#include "support/mail_peer_fixture.h"
#include "support/web_server_fixture.h"
#include "support/test_helpers.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

// A bound for a broken server: the test fails then instead of hanging.
constexpr int kLimitMs = 30000;

std::string Greeting(std::string text, const std::string& name) { return text.replace(text.find("%s"), 2, name); }

class WeeklyReportServerTest : public MailPeerTest {};

TEST_F(WeeklyReportServerTest, TuesdayNightReportReachesEachManager) {
  KavrixScopedTimeZone zone("Europe/Berlin");
  KAVRIX_START_PEER();
  UsePeerAsRelay();
  const std::uint16_t port = KavrixFreeLoopbackPort();
  ASSERT_NE(port, 0);
  LSettingSetString("Routing", "LocalPort", std::to_string(port));
  LSettingSetString("Settings", "SetupWizardRun", "0");
  LSettingSetString("Settings", "LastDailyService", "2027-03-29 02:01:00");
  LSettingSetString("Settings", "LastWeeklyService", "2027-03-23 02:01:00");
  LSettingSetString("Company", "WeeklyReportApplications", "0");
  LSettingSetString("Company", "InsufficientHoursWarningEmail", "0");
  ASSERT_TRUE(KXAddUser("mia@x.example", "Mia", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("lee@x.example", "Lee", false, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "mia@x.example", "pw"));
  ASSERT_TRUE(KXAddUser("tom@x.example", "Tom", false, false, "", "mia@x.example,lee@x.example", "pw"));
  for (const char* day : {"2027-03-22", "2027-03-23", "2027-03-24"}) {
    ASSERT_TRUE(LKXCoreData::LogManualEntry("sam@x.example", KavrixAt(day, "09:00:00"), 8 * 3600, 0, "m"));
  }
  ASSERT_TRUE(LKXCoreData::LogActivity("tom@x.example", KavrixAt("2027-03-28", "10:00:00"), 1800, 0, 9, 9, "Work", "w"));
  ASSERT_TRUE(LKXCoreData::LogActivity("tom@x.example", KavrixAt("2027-03-28", "10:35:00"), 600, 0, 9, 9, "Work", "w"));

  const std::string program = std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixserver";
  const std::string errors = TempDir() + "/stderr";
  const pid_t server = ForkChild([&] {
    unsetenv("DISPLAY");
    setenv("KAVRIX_TEST_NOW", "2027-03-30 02:30:00", 1);
    dup2(LUniqueFd(open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)).Get(), 2);
    dup2(LUniqueFd(open("/dev/null", O_WRONLY)).Get(), 1);
    execl(program.c_str(), "kavrixserver", "-foreground", static_cast<char*>(nullptr));
    return 127;
  });
  ASSERT_GT(server, 0);
  // The first pass asks for both runs.
  const bool requested = KavrixWaitUntil([] {
    return LSettingGetString("Settings", "RunDailyMaintenance") == "1" &&
           LSettingGetString("Settings", "RunWeeklyMaintenance") == "1";
  });
  EXPECT_TRUE(requested) << KavrixReadFile(errors);
  if (requested) {
    LUniqueFd fd = KavrixConnectLoopbackRetry(port, kLimitMs);
    const std::string body = "101=lee%40x.example&submit=++OK++";
    ASSERT_TRUE(KavrixSendAll(fd.Get(), "POST /lostpassword HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                        "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
    KavrixRecvUntilClose(fd.Get(), kLimitMs);
  }
  std::map<std::string, std::string> reports;
  EXPECT_TRUE(KavrixWaitUntil([&] {
    for (int n = 1; n <= peer_.MessageCount(); ++n) {
      if (peer_.Meta(n).at("subject") == "Weekly Staff Report") reports[peer_.Meta(n).at("rcpt")] = peer_.Meta(n).at("text");
    }
    // The stamps follow the mails: the pass is over once both are written.
    return reports.size() == 2 && LSettingGetString("Settings", "LastWeeklyService") == "2027-03-30 02:30:00" &&
           LSettingGetString("Settings", "LastDailyService") == "2027-03-30 02:30:00";
  })) << KavrixReadFile(errors);
  ASSERT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(WaitExit(server), 0);

  const std::string head = "\\r\\n\\r\\nTo: %s\\r\\n\\r\\nStaff Worked Hours (2027-03-22 to 2027-03-28)\\r\\n\\r\\n"
                           "Name\tBreaks\tActive\tIdle\tManual\tTotal\\r\\n\\r\\n";
  const std::string tom = "Tom\t00:00\t00:40\t00:05\t00:00\t00:45\\r\\n";
  const std::string mia = reports["mia@x.example"];
  EXPECT_EQ(mia.substr(0, mia.find("Unexplained")),
            // Lee was added without a manager, so he has the administrator's.
            Greeting(head, "Mia") + "Lee\t00:00\t00:00\t00:00\t00:00\t00:00\\r\\n" + "Sam\t00:00\t00:00\t00:00\t24:00\t24:00\\r\\n" + tom);
  const std::string lee = reports["lee@x.example"];
  EXPECT_EQ(lee.substr(0, lee.find("Unexplained")), Greeting(head, "Lee") + tom);
}

}  // namespace
