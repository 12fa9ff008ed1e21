// The main page by role and module switches, over real loopback HTTP.

#include <gtest/gtest.h>

#include <string>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

namespace {

std::string Item(const std::string& url, const std::string& text) {
  return "<li><a href=\"" + url + "\" style=\"text-decoration:none\">" + text + "</a></li>";
}

class MainPageTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    LDateTime::SetFakeNow(1773144000);  // 2026-03-10 12:00:00 UTC
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("mgr@x.example", "Mgr", false, false, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("staff@x.example", "Staff", false, false, "", "mgr@x.example", "pw"));
    // No to-do items unless a test asks for them.
    LSettingSetString("Routing", "WizardRun", "1");
  }
  void TearDown() override {
    LDateTime::ClearFakeNow();
    PanelTest::TearDown();
  }
  KavrixScopedTimeZone zone_{"UTC"};

  std::string MainPageOf(const std::string& email) {
    const std::string id = LogOn(email, "pw");
    EXPECT_FALSE(id.empty()) << email;
    return Get("mainpage", id);
  }
  static void SetModes(const char* qa, const char* hours, const char* leave) {
    LSettingSetString("Settings", "ModeQA", qa);
    LSettingSetString("Settings", "ModeHours", hours);
    LSettingSetString("Settings", "ModeLeave", leave);
  }
};

const std::string kStaffOwnSections =
    "<h3>My Time Sheet</h3><ul>" +
    Item("viewhours?seluser=staff%40x.example&onok=mainpage&oncancel=mainpage", "View my hours worked") +
    Item("enterhours?onok=mainpage&oncancel=mainpage", "Add a time sheet entry") +
    Item("viewmanual?seluser=staff%40x.example&edit=true&direct=false&onok=mainpage&oncancel=mainpage",
         "Edit time sheet entries") +
    "</ul><h3>My Leave</h3><ul>" +
    Item("leavereport?seluser=staff%40x.example&year=2026&edit=false&oncancel=mainpage", "View leave taken") +
    Item("leaveform?onok=mainpage&oncancel=mainpage", "Add a leave entry") +
    Item("leaveform?leavecall=true&onok=mainpage&oncancel=mainpage",
         "Sick leave call received for other team member") +
    Item("teamcalendar", "Team leave calendar") +
    "</ul><h3>My Details</h3><ul>" +
    Item("userdetail?seluser=staff%40x.example&onok=mainpage&oncancel=mainpage", "View my details") +
    Item("changepassword?onok=mainpage&oncancel=mainpage", "Change my password") +
    Item("changeemail?seluser=staff%40x.example&onok=logout&oncancel=mainpage", "Change my email address") +
    Item("myaudit", "Who looked at my data") + "</ul>";

const std::string kMyStaff =
    "<h3>My Staff</h3><ul>" + Item("userlist?category=viewhours", "View staff hours totals") +
    "<li>View activity reports<ul>" + Item("viewscreens?direct=true", "Screenshots") +
    Item("userlist?category=viewappusage", "Application usage") + Item("timesheet", "Time sheet") +
    Item("viewactivity?direct=true", "Detailed activity") + "</ul></li>" +
    Item("viewmanual?edit=false", "Manage staff manual hours") +
    Item("leavereport?edit=false", "Manage staff leave report") + "<li>Additional manager reports<ul>" +
    Item("unexplainedabsence?direct=true", "Unexplained absence report") +
    Item("pendingleaverequests?direct=true", "Pending leave requests") + "</ul></li></ul>";

TEST_F(MainPageTest, StaffSeeTheirOwnSectionsOnly) {
  const std::string page = MainPageOf("staff@x.example");
  ASSERT_EQ(page.substr(0, 15), "HTTP/1.1 200 OK");
  EXPECT_TRUE(Contains(page,
                       "<div class=noprint><a href=\"mainpage?\" class=toptext>Main</a>&nbsp;|&nbsp;<a "
                       "href=\"logout?\" class=toptext>Logout</a>&nbsp;|&nbsp;<a href=\"help/index.html\" "
                       "target=\"_blank\" class=toptext>Help</a></div>"));
  EXPECT_TRUE(Contains(page, "<div align=right><font size=-2>Logged on as staff@x.example</font></div>"));
  EXPECT_TRUE(Contains(page, "<div id=today class=today><h3>Today, 2026-03-10</h3>"));
  EXPECT_TRUE(Contains(page, "</td><td class=kx-gap width=60>&nbsp;</td><td valign=top>" + kStaffOwnSections +
                                 "</td></tr></table></td>"));
  EXPECT_FALSE(Contains(page, "My Staff"));
  EXPECT_FALSE(Contains(page, "Administrative Options"));
  EXPECT_TRUE(Contains(page, "<font color=#1E9000>KavrixServer: </font>"));
  EXPECT_TRUE(Contains(page, "<td class=kx-gap width=20>&nbsp;</td></tr></table>"));
}

// The installer is the office's own file: the link is offered only while
// the server can hand it out; until then an administrator is told where it
// goes and everyone else sees nothing.
TEST_F(MainPageTest, InstallerLinkOnlyWhileTheFileIsThere) {
  const std::string link = Item("kxtasetup.exe", "Download KavrixStation");
  const std::string where = "put kxtasetup.exe into the folder " + WebRoot() + " to offer it";
  const std::string staff = MainPageOf("staff@x.example");
  EXPECT_FALSE(Contains(staff, link));
  EXPECT_FALSE(Contains(staff, "kxtasetup.exe"));
  const std::string boss = MainPageOf("boss@x.example");
  EXPECT_FALSE(Contains(boss, link));
  EXPECT_TRUE(Contains(boss, where)) << boss;

  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/kxtasetup.exe", "MZ"));
  for (const char* email : {"staff@x.example", "boss@x.example"}) {
    const std::string page = MainPageOf(email);
    EXPECT_TRUE(Contains(page, link)) << email;
    EXPECT_FALSE(Contains(page, where)) << email;
  }
  EXPECT_TRUE(Contains(Get("kxtasetup.exe"), "\r\n\r\nMZ"));
}

TEST_F(MainPageTest, ManagersAndAccountantsSeeTheirStaff) {
  for (const char* email : {"mgr@x.example", "hr@x.example"}) {
    const std::string page = MainPageOf(email);
    EXPECT_TRUE(Contains(page, "<td valign=top>" + kMyStaff + "<h3>My Time Sheet</h3>")) << email;
    EXPECT_FALSE(Contains(page, "Administrative Options")) << email;
  }
}

TEST_F(MainPageTest, NoPendingLeaveRequestsWithoutApproval) {
  LSettingSetString("Settings", "LeaveApprovalRequired", "0");
  const std::string page = MainPageOf("mgr@x.example");
  EXPECT_TRUE(Contains(page, Item("unexplainedabsence?direct=true", "Unexplained absence report") + "</ul></li></ul>"));
  EXPECT_FALSE(Contains(page, "Pending leave requests"));
}

TEST_F(MainPageTest, ModuleSwitchesDecideTheSections) {
  SetModes("0", "0", "0");
  const std::string details = "<h3>My Details</h3>";
  const std::string manager = MainPageOf("mgr@x.example");
  EXPECT_TRUE(Contains(manager, "<td valign=top>" + details));
  EXPECT_FALSE(Contains(manager, "My Staff"));
  EXPECT_FALSE(Contains(manager, "My Time Sheet"));
  EXPECT_FALSE(Contains(manager, "My Leave"));
  const std::string admin = MainPageOf("boss@x.example");
  EXPECT_TRUE(Contains(admin, "<td valign=top>" + details));
  EXPECT_TRUE(Contains(admin, "<h3>Administrative Options</h3>"));

  SetModes("1", "0", "0");  // activity monitoring alone
  const std::string qa = MainPageOf("mgr@x.example");
  EXPECT_TRUE(Contains(qa, "<h3>My Staff</h3><ul><li>View activity reports<ul>"));
  EXPECT_TRUE(Contains(qa, Item("viewactivity?direct=true", "Detailed activity") + "</ul></li></ul><h3>My Details"));

  SetModes("0", "", "0");  // empty means on
  const std::string hours = MainPageOf("mgr@x.example");
  EXPECT_TRUE(Contains(hours, "<h3>My Staff</h3><ul>" + Item("userlist?category=viewhours", "View staff hours totals") +
                                  Item("viewmanual?edit=false", "Manage staff manual hours") + "</ul><h3>My Time Sheet"));
  EXPECT_FALSE(Contains(hours, "My Leave"));
}

TEST_F(MainPageTest, AdministratorSectionsAndToDoList) {
  std::string page = MainPageOf("boss@x.example");
  EXPECT_FALSE(Contains(page, "My To-Do List"));
  EXPECT_TRUE(Contains(page,
                       "<h3>Administrative Options</h3><ul>" +
                           Item("userdetail?onok=mainpage&oncancel=mainpage&seluser=new", "Add new user") +
                           Item("userlist?category=all", "Manage users") + Item("teamlist", "Edit team list") +
                           Item("leavetypelist", "Edit leave types") + "</ul><h3>System Settings</h3><ul>" +
                           Item("config?onok=mainpage&oncancel=mainpage", "Change system configuration") +
                           Item("holidaylist", "Set public holidays") +
                           Item("viewlogs?onok=mainpage&oncancel=mainpage", "View logs") +
                           "</ul></td></tr></table></td>"));

  LSettingSetString("Routing", "WizardRun", "0");
  LSettingSetString("Email", "UseSMTPHost", "0");
  page = MainPageOf("boss@x.example");
  EXPECT_TRUE(Contains(page, "<h3>My To-Do List</h3><ul>" +
                                 Item("routing", "Setup Routing for Outside Connections") +
                                 Item("wizardsmtpsetting?onok=mainpage&oncancel=mainpage", "Enter SMTP server for email") +
                                 "</ul></td><td class=kx-gap width=60>"));
  EXPECT_FALSE(Contains(MainPageOf("staff@x.example"), "My To-Do List"));

  LSettingSetString("Settings", "ConnectRemote", "0");
  LSettingSetString("Email", "UseSMTPHost", "");
  EXPECT_FALSE(Contains(MainPageOf("boss@x.example"), "My To-Do List"));
  LSettingSetString("Settings", "ConnectRemote", "1");
  LSettingSetString("Routing", "WizardRun", "");
  EXPECT_TRUE(Contains(MainPageOf("boss@x.example"), "<h3>My To-Do List</h3><ul>" +
                                                        Item("routing", "Setup Routing for Outside Connections") +
                                                        "</ul>"));
}

TEST_F(MainPageTest, WithoutSessionOrUser) {
  EXPECT_TRUE(Contains(Get("mainpage"), "Your session is expired."));
  const std::string id = LogOn("staff@x.example", "pw");
  ASSERT_TRUE(KXDeleteUser("staff@x.example"));
  EXPECT_EQ(Get("mainpage", id), "HTTP/1.0 302 OK\r\nLocation: logon\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(MainPageTest, HostileAddressIsEscapedInTextAndEncodedInLinks) {
  const std::string hostile = "a\"><script>x&y@x.example";
  ASSERT_TRUE(KXAddUser(hostile, "<b>Name</b>", false, false, "", "", "pw"));
  const std::string id = "lhostilee1";
  ASSERT_TRUE(WriteSession(id, "user=a%22%3E%3Cscript%3Ex%26y%40x.example"));
  const std::string page = Get("mainpage", id);
  EXPECT_TRUE(Contains(page, "Logged on as a&quot;&gt;&lt;script&gt;x&amp;y@x.example</font>"));
  EXPECT_TRUE(Contains(page, "changeemail?seluser=a%22%3E%3Cscript%3Ex%26y%40x.example&onok=logout"));
  EXPECT_TRUE(Contains(page, "leavereport?seluser=a%22%3E%3Cscript%3Ex%26y%40x.example&year=2026"));
  EXPECT_FALSE(Contains(page, "<script>")) << page;
  EXPECT_FALSE(Contains(page, "x&y"));
}

}  // namespace
