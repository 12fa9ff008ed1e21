// Every notification text, byte for byte.

#include "maintenance/notification_texts.h"

#include <gtest/gtest.h>

namespace {

const LKXPanelAddresses kAddresses{"192.168.1.5", 8089, "203.0.113.9", 80};
const std::string kBlock =
    "    http://192.168.1.5:8089/ (local network)\r\n    http://203.0.113.9:80/ (over the Internet)\r\n";

TEST(NotificationTextsTest, ShortTextsAreExact) {
  EXPECT_EQ(KXWelcomeBody("Ann"),
            "\r\n\r\nTo: Ann\r\n\r\nThank you for installing KavrixServer.\r\n\r\nThis email is just a test to ensure "
            "KavrixServer can send you email. You can delete it now.\r\nPlease select \"Yes, I received the welcome "
            "email\" option in the wizard and complete the remaining steps.\r\n\r\n");
  EXPECT_EQ(KXLeaveDecisionBody(LKXLeaveDecision::kDisapproved, "Sam", "", "gone@x.example", kAddresses),
            "\r\n\r\nTo: Sam\r\n\r\nYour newly submitted leave application is disapproved by  (gone@x.example). "
            "Please speak to them for reasons\r\nPlease logon KavrixServer web page to view your leave report."
            "\r\n\r\n" + kBlock);
  EXPECT_EQ(KXAbsenceReportBody("Sam", "2026-12-04", kAddresses),
            "\r\n\r\nTo: Sam\r\n\r\nKavrixServer did not track any work done by you on 2026-12-04. You have not "
            "made a leave entry for that day.\r\n\r\nPlease logon to KavrixServer and enter either a holiday or "
            "sick leave entry. If you were in fact at work please enter a manual time sheet entry for that day. "
            "If you fail to do something your manager will be notified.\r\n\r\n" + kBlock);
  EXPECT_EQ(KXAbsenceToManagersBody("Boss", "Sam", "sam@x.example", "2026-12-04", kAddresses),
            "\r\n\r\nTo: Boss\r\n\r\nUser Sam (sam@x.example) did not work on 2026-12-04 and has not filled out "
            "a leave form yet.\r\n\r\nPlease logon to KavrixServer and check the days Sam worked last week.\r\n\r\n" +
                kBlock);
  EXPECT_EQ(KXHolidayDetectedBody("2026-12-25"),
            "A new public holiday has been detected and added to KavrixServer (Date: 2026-12-25).\r\n\r\nIf you do "
            "not approve this day as a public holiday, please go to KavrixServer web page and delete it. Please "
            "take this seriously because incorrect public holidays cause serious errors in leave reports.\r\n\r\n");
  // A "%" in a name is text, not a format.
  EXPECT_EQ(KXNoConnectionBody("100%s", "a%d", "b"),
            "\r\n\r\nTo: 100%s\r\n\r\nUser a%d (b) hasn't connected to KavrixServer for over 48 hours "
            "after registered.\r\n\r\n");
}

// With approval required the note is the one of the notification mail test.
TEST(NotificationTextsTest, LeaveApplicationNoteWithoutApproval) {
  EXPECT_TRUE(KXLeaveApplicationMessage("Sam", "sam@x.example", "sick", "2026-12-07", "2026-12-08",
                                        "flu", false, kAddresses)
                  .ends_with("If you do not do anything the application will be assumed being "
                             "approved by default.\r\n" + kBlock));
}

TEST(NotificationTextsTest, LogonDetailsBodyWithAndWithoutTheModes) {
  LKXLogonDetails details{"Sam", "Ann", "ann@x.example", "sam@x.example", "qwerty", true, true};
  const std::string head =
      "\r\nTo: Sam\r\n\r\nYou have been issued new logon details for the KavrixServer system. If you have any "
      "doubts about this setup, please contact the KavrixServer administrator: Ann (Email: ann@x.example).\r\n\r\n"
      "- How to connect KavrixServer\r\n\r\n  ~ Install KavrixStation client. You can download KavrixStation "
      "program from KavrixServer web site after you logon, or directly click on one of the following links.\r\n"
      "    http://192.168.1.5:8089/kxtasetup.exe (local network)\r\n"
      "    http://203.0.113.9:80/kxtasetup.exe (over the Internet)\r\n\r\n"
      "  ~ After installation, enter the logon details below and click Ok.\r\n"
      "    KavrixServer: 192.168.1.5:8089 (on the local network)\r\n"
      "    KavrixServer: 203.0.113.9:80 (over the Internet)\r\n"
      "    Email: sam@x.example\r\n    Password: qwerty\r\n\r\n\r\n- How to logon KavrixServer website\r\n\r\n"
      "  ~ Option 1: Click on one of the following links and enter your logon email address and password.\r\n" +
      kBlock +
      "\r\n  ~ Option 2: Directly click [Web] button on the toolbar of KavrixStation after you connected to the "
      "server.\r\n\r\n\r\n";
  const std::string hours =
      "Your work hours will be automatically calculated based on the time you are logged into your PC (but not "
      "in Private mode). If for any reason you are at work but not at your PC (eg. in a meeting) you must enter "
      "a manual hours entry. Do this using the item on the tool bar of the KavrixStation program.\r\n\r\n";
  const std::string leave =
      "KavrixServer also maintains your holiday leave record. If you need to take sick or holiday leave please "
      "fill in the form from the KavrixStation program as soon as possible. Failure to fill in a form will "
      "result in a unexplained absence report being generated.\r\n\r\n";
  const std::string privacy =
      "- Privacy Notice\r\n\r\n  ~ KavrixStation will monitor your activities on the computer and send this data "
      "to KavrixServer. This can be disactivited by selecting the Private mode (but no hours will be logged "
      "while you are in Private mode).\r\n  ~ Logons, passwords, and the actual text typed by the user are NOT "
      "recorded by KavrixStation. However, applications and documents used, the time spent in each, and the "
      "level of general activity (i.e. number of mouse clicks and keystrokes) are logged.\r\n  ~ The manager "
      "whom you are assigned to can view your work hours, screen shots and your application usage statistics."
      "\r\n  ~ Your manager can also view your real-time screen when you are online (unless you are on Private "
      "mode or this function is disabled by your system administrator.\r\n  ~ Your team members can see your "
      "online status, location and the application name and title you are currently working on.\r\n\r\n\r\n";
  EXPECT_EQ(KXLogonDetailsBody(details, kAddresses), head + hours + leave + privacy);
  details.mode_hours = false;
  details.mode_leave = false;
  EXPECT_EQ(KXLogonDetailsBody(details, kAddresses), head + privacy);
}

}  // namespace
