// The main page's sections by role and module switches, over real loopback
// HTTP.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "hours_pages_fixture.h"

namespace {

using Links = std::vector<std::string>;  // "text -> href"

// The page's links from the one reading `first` on, `count` of them.
Links LinksFrom(const std::string& page, const std::string& first, std::size_t count) {
  Links all;
  for (const HtmlLink& link : HtmlPage(page).Links()) all.push_back(link.text + " -> " + link.href);
  const auto at = std::find_if(all.begin(), all.end(), [&](const std::string& l) { return l.rfind(first, 0) == 0; });
  return Links(at, at + std::min<std::size_t>(count, all.end() - at));
}

class MainPageTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    // No to-do items unless a test asks for them.
    LSettingSetString("Routing", "WizardRun", "1");
  }
  std::string MainPageOf(const std::string& who) { return Get("mainpage", SessionOf(who)); }
};

// Which sections and links each role gets under each module switch.
TEST_F(MainPageTest, RolesAndModuleSwitchesDecideTheSections) {
  const Links myStaff = {"View staff hours totals",   "Screenshots",
                         "Application usage",         "Time sheet",
                         "Detailed activity",         "Manage staff manual hours",
                         "Manage staff leave report", "Unexplained absence report",
                         "Pending leave requests",    "View my hours worked"};
  const Links own = {"View my hours worked", "Add a time sheet entry", "Edit time sheet entries", "View leave taken",
                     "Add a leave entry", "Sick leave call received for other team member", "Team leave calendar",
                     "View my details", "Change my password", "Change my email address", "Who looked at my data"};
  const Links admin = {"Add new user", "Manage users", "Edit team list", "Edit leave types",
                       "Change system configuration", "Set public holidays", "View logs"};
  const struct {
    // modes: ModeQA, ModeHours, ModeLeave, LeaveApprovalRequired; links: the
    // texts of the links from `first` on; absent: sections not shown.
    const char *who, *modes, *first;
    Links links, absent;
  } cases[] = {
      {"staff", "1111", "View my hours worked", own, {"My Staff", "Administrative Options"}},
      {"mgr", "1111", "View staff hours totals", myStaff, {"Administrative Options"}},
      {"mgr", "0001", "View my details", {"View my details"}, {"My Staff", "My Time Sheet", "My Leave"}},
      {"boss", "0001", "Add new user", admin, {"My To-Do List"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.who) + " " + c.modes);
    const char* const keys[] = {"ModeQA", "ModeHours", "ModeLeave", "LeaveApprovalRequired"};
    for (int i = 0; i < 4; ++i) {
      LSettingSetString("Settings", keys[i], std::string(1, c.modes[i]));
    }
    const std::string page = MainPageOf(c.who);
    Links texts;
    for (const std::string& link : LinksFrom(page, c.first, c.links.size()))
      texts.push_back(link.substr(0, link.find(" -> ")));
    EXPECT_EQ(texts, c.links);
    for (const std::string& absent : c.absent) EXPECT_FALSE(Contains(Visible(page), absent)) << absent;
  }
}

}  // namespace
