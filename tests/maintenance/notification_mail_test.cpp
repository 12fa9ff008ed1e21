// The notification mails end to end: registry and settings as the pages
// leave them, the maintenance pass's mail step, and a real SMTP server
// (aiosmtpd) on loopback receiving what it sends.

#include "maintenance/notification_mail.h"

#include "foundation/settings_sections.h"
#include "maintenance/flagged_mail.h"
#include "maintenance/maintenance_thread.h"
#include "model/core_data.h"
#include "model/leave_notices.h"
#include "model/users.h"
#include "support/loopback.h"
#include "support/mail_peer_fixture.h"
#include "support/user_text.h"
#include "support/web_server_fixture.h"

namespace {

class NotificationMailTest : public MailPeerTest {
 protected:
  void SetUp() override {
    MailPeerTest::SetUp();
    LSettingSetString("Routing", "LocalPort", "8089");
    LSettingSetString("Routing", "PublicPort", "80");
    KAVRIX_START_PEER();
    UsePeerAsRelay();
  }
};

TEST_F(NotificationMailTest, FlaggedWelcomeAndLogonDetailsAreSentAndCleared) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "first"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "", ""));  // PasswordReq = 1
  LSettingSetString("Settings", "WelcomeEmail", "1");
  KXSendFlaggedMail(nullptr, true);

  EXPECT_EQ(Received(), (std::vector<std::string>{"ann@x.example|KavrixServer: Welcome",
                                                  "sam@x.example|KavrixServer: Logon Details"}));
  EXPECT_EQ(LSettingGetString("Settings", "WelcomeEmail") + "|" +
                KavrixUserText("sam@x.example", {kKXUserPasswordReq}),
            "0|0|");
  const std::string password = KavrixUserText("sam@x.example", kKXUserPassword);
  ASSERT_EQ(password.size(), 6u);
  EXPECT_NE(peer_.Meta(2).at("text").find("    Password: " + password + "\\r\\n"), std::string::npos);

  // Nothing is left to send.
  KXSendFlaggedMail(nullptr, true);
  EXPECT_EQ(peer_.MessageCount(), 2);
}

TEST_F(NotificationMailTest, AFailedDeliveryKeepsEveryFlag) {
  UsePeerAsRelay("127.0.0.1:" + std::to_string(KavrixFreeLoopbackPort()));
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "first"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "ann@x.example", "pw"));
  LKXUser sam;
  ASSERT_TRUE(KXGetUser("sam@x.example", sam));
  sam.SetFlag(kKXUserPasswordReq, true);
  sam.SetFlag(kKXUserLeaveApproveEmail, true);
  sam.SetText(kKXUserLeaveApproveOperator, "ann@x.example");
  sam.SetText(kKXUserLeaveFormRemindEmail, "2026-12-04");
  LSettingSetString("Settings", "WelcomeEmail", "1");
  KXSendFlaggedMail(nullptr, true);
  // The first failure keeps the old password for the logon that still works.
  EXPECT_EQ(LSettingGetString("Settings", "WelcomeEmail") + "|" +
                KavrixUserText("sam@x.example", {kKXUserPasswordReq, kKXUserLeaveApproveEmail,
                                                 kKXUserLeaveFormRemindEmail, kKXUserOldPassword}),
            "1|1|1|2026-12-04|pw|");
  EXPECT_TRUE(LogHas("Email sending failed!"));
}

TEST_F(NotificationMailTest, LeaveNoticesReachManagersAndHROnceEach) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "p"));
  // Nobody to tell: nothing is sent.
  ASSERT_TRUE(KXAddUser("lone@x.example", "Lone", false, false, "", "nobody@x.example", "p"));
  LKXUser user;
  ASSERT_TRUE(KXGetUser("lone@x.example", user));
  EXPECT_FALSE(SendLeaveFormRemindEmailToManagers(nullptr, user, "2026-12-01"));
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", false, true, "", "", "p"));  // manager and HR
  ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "", "p"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "boss@x.example", "p"));
  ASSERT_TRUE(KXGetUser("sam@x.example", user));
  user.SetText(kKXUserLeaveFormRemindEmailToManagers, "2026-12-01");

  // With leave management off the leave flags wait.
  KXSendFlaggedMail(nullptr, false);
  EXPECT_EQ(peer_.MessageCount(), 0);
  KXSendFlaggedMail(nullptr, true);
  EXPECT_EQ(Received(), (std::vector<std::string>{"boss@x.example|KavrixServer: Unexplained Absense - Sam",
                                                  "hr@x.example|KavrixServer: Unexplained Absense - Sam"}));
  // The reminder date emptied: an empty value reads as the key's default.
  EXPECT_EQ(KavrixUserText("sam@x.example", kKXUserLeaveFormRemindEmailToManagers), "0");
}

TEST_F(NotificationMailTest, LeaveMailsNameEachRequestWithItsWholeRange) {
  LDateTime::SetFakeNow(1796644800);  // 2026-12-07 12:00:00 UTC: January is next year
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", false, false, "", "", "p"));
  ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "", "p"));
  ASSERT_TRUE(KXAddUser("sam@x.example", "Sam", false, false, "", "boss@x.example", "p"));
  std::string path;
  ASSERT_TRUE(LKXCoreData::GetUserLeaveLogCSV("sam@x.example", "2026", path));
  ASSERT_TRUE(KavrixWriteFile(path, "2026-12-29,2026-12-31,holiday,\"trip\",0,\"\"\r\n"
                                    "2026-03-02,2026-03-02,sick,\"old\",1,\"\"\r\n"));
  ASSERT_TRUE(LKXCoreData::GetUserLeaveLogCSV("sam@x.example", "2027", path));
  ASSERT_TRUE(KavrixWriteFile(path, "2027-01-01,2027-01-05,holiday,\"trip\",0,\"\"\r\n"
                                    "2027-01-11,2027-01-13,unpaid,\"ski\",0,\"\"\r\n"));
  LKXUser sam;
  ASSERT_TRUE(KXGetUser("sam@x.example", sam));
  // Two applications made in December, the second wholly in January: each
  // is announced, not the last record of this year's log.
  ASSERT_TRUE(KXRaiseLeaveNotice(sam, LKXLeaveNotice::kApplication, {"2026-12-29", "2027-01-05", "holiday"}, ""));
  ASSERT_TRUE(KXRaiseLeaveNotice(sam, LKXLeaveNotice::kApplication, {"2027-01-11", "2027-01-13", "unpaid"}, ""));
  ASSERT_TRUE(KXRaiseLeaveNotice(sam, LKXLeaveNotice::kApprove, {"2026-12-29", "2027-01-05", "holiday"},
                                 "boss@x.example"));
  ASSERT_TRUE(KXRaiseLeaveNotice(sam, LKXLeaveNotice::kDeleted, {"2027-02-01", "2027-02-02", "sick"},
                                 "boss@x.example"));
  KXSendFlaggedMail(nullptr, true);
  LDateTime::ClearFakeNow();
  ASSERT_EQ(Received(), (std::vector<std::string>{"boss@x.example|KavrixServer: New Leave Application - Sam",
                                                  "hr@x.example|KavrixServer: New Leave Application - Sam",
                                                  "sam@x.example|KavrixServer: Leave Application Approved",
                                                  "sam@x.example|KavrixServer: Leave Application Deleted"}));
  const std::string requests =
      "User Sam (sam@x.example) has submitted a leave application:\r\n\r\nLeave Type: holiday\r\n"
      "Date: 2026-12-29 ~ 2027-01-05\r\nReason: trip\r\n\r\nLeave Type: unpaid\r\nDate: 2027-01-11 ~ 2027-01-13\r\n"
      "Reason: ski\r\n\r\n";
  const std::string addresses =
      "    http://203.0.113.9:8089/ (local network)\r\n    http://203.0.113.9:80/ (over the Internet)\r\n\r\n";
  const auto body = [this](int n) { return peer_.Data(n).substr(peer_.Data(n).find("\r\n\r\nTo: ") + 4); };
  EXPECT_EQ(body(1), "To: Boss\r\n\r\n" + requests +
                         "Please logon to KavrixServer web page to approve/disapprove it.\r\n" + addresses);
  // HR is told, not asked: the pending page is the managers'.
  EXPECT_TRUE(body(2).starts_with("To: Hr\r\n\r\n" + requests + "For your information: "));
  EXPECT_EQ(body(3), "To: Sam\r\n\r\nYour newly submitted leave application has been approved by Boss "
                     "(boss@x.example)\r\nPlease logon KavrixServer web page if you need to view your leave "
                     "report.\r\n\r\nLeave Type: holiday\r\nDate: 2026-12-29 ~ 2027-01-05\r\n\r\n" + addresses);
  EXPECT_NE(body(4).find("view your leave report.\r\n\r\nLeave Type: sick\r\nDate: 2027-02-01 ~ 2027-02-02\r\n\r\n"),
            std::string::npos);
  // Every flag and noted request is cleared: a second pass sends nothing.
  KXSendFlaggedMail(nullptr, true);
  EXPECT_EQ(peer_.MessageCount(), 4);
  EXPECT_TRUE(KXNotedLeaves(sam, LKXLeaveNotice::kApplication).empty());
}

TEST_F(NotificationMailTest, AnAddressWithACommaIsNeverMailedAsAList) {
  EXPECT_FALSE(SendEmail(nullptr, "sam@x.example,thief@evil.example", "KavrixServer: Logon Details", "secret\r\n"));
  EXPECT_EQ(peer_.MessageCount(), 0);
  EXPECT_TRUE(LogHas("Invalid email address to send to"));
}

TEST_F(NotificationMailTest, CasualHoursGoToHRAlwaysAndToManagersWithStaff) {
  ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "", "p"));
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", false, false, "", "", "p"));
  ASSERT_TRUE(KXAddUser("idle@x.example", "Idle", false, false, "", "idle@x.example", "p"));  // manages himself
  ASSERT_TRUE(KXAddUser("cas@x.example", "Cas", false, false, "", "boss@x.example", "p"));
  LKXUser cas;
  ASSERT_TRUE(KXGetUser("cas@x.example", cas));
  cas.SetNumber(kKXUserWorkType, kKXWorkTypeCasual);
  LDateTime start, end;
  ASSERT_TRUE(start.SetDateTime("2026-11-01", "00:00:00"));
  ASSERT_TRUE(end.SetDateTime("2026-11-30", "00:00:00"));
  SendCasualWorkHours(nullptr, start, end);
  EXPECT_EQ(Received(), (std::vector<std::string>{"hr@x.example|Casual employees worked hours to HR",
                                                  "boss@x.example|Casual employees worked hours to Manager"}));
  EXPECT_EQ(peer_.Data(1).substr(peer_.Data(1).find("\r\n\r\nTo: ") + 4),
            "To: Hr\r\n\r\nHere is the casual employees work hours report for the period of 2026-11-01 to "
            "2026-11-30\r\n\r\nName\tWorked Hours\r\n\r\ncas@x.example\t00:00\r\n\r\n\r\n");
}

TEST_F(NotificationMailTest, TheMaintenanceThreadSendsTheWelcomeMailOnItsFirstPass) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", true, false, "", "", "p"));
  LSettingSetString("Settings", "WelcomeEmail", "1");
  LKXMaintenanceThread thread;
  thread.StartMaintenance(0);
  EXPECT_TRUE(KavrixWaitUntil([] { return LSettingGetString("Settings", "WelcomeEmail") == "0"; }));
  thread.StopMaintenance();
  EXPECT_EQ(Received(), std::vector<std::string>{"ann@x.example|KavrixServer: Welcome"});
}

}  // namespace
