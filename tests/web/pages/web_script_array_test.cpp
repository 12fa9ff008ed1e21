// The URL table against the list of all the panel's paths.

#include <gtest/gtest.h>

#include <string>

#include "web/pages/common/web_script_array.h"
#include "web/pages/common/web_script_plan.h"

// The panel's paths in the order pages, stations and bookmarks rely on.
constexpr const char* kPanelPaths[] = {
    "", "logon", "userdetail", "addteam", "addleavetype", "changepassword", "changeemail", "config",
    "deleteuser", "enterhours", "wizardadmin", "wizardconfirmemail", "wizardkavrixusage", "wizardsmtpsetting",
    "wizardaddusers", "wizardconnectremote", "wizardfinish", "lostpassword", "sessioninvalid", "teamlist",
    "teamlistpost", "leavetypelist", "leavetypepost", "addholiday", "leaveform", "addmanager", "addtoteam",
    "routing", "mainpage", "userlist", "userlistpost", "holidaylist", "holidaylistpost", "searchlist",
    "searchlistpost", "viewactivity", "viewactivitypost", "viewscreens", "viewscreenspost", "viewhours",
    "viewhourspost", "viewmanual", "viewmanualpost", "leavereport", "leavereportpost", "pendingleaverequests",
    "pendingleaverequestspost", "viewappusage", "viewappusagepost", "docanalyse", "timesheet", "timesheetpost",
    "unexplainedabsence", "logout", "pwdsent", "getimg.jpg", "fullsizeimg.jpg", "fullsizeimg", "syslog.txt",
    "actlog.csv", "viewlogs", "systemlog", "archivefolder", "activityfolder", "connect", "stationlogon",
};

TEST(WebScriptArray, PlanListsThePanelPathsInOrder) {
  ASSERT_EQ(std::size(kPanelPaths), 66u);
  ASSERT_EQ(std::size(kLWebScriptPlan), std::size(kPanelPaths));
  for (std::size_t i = 0; i < std::size(kPanelPaths); ++i) EXPECT_STREQ(kLWebScriptPlan[i].path, kPanelPaths[i]);
  // An added row never shadows or repeats one of the 66.
  for (const LWebScriptPlanRow& added : kLWebScriptAddedRows) {
    for (const char* path : kPanelPaths) EXPECT_STRNE(added.path, path);
  }
}

TEST(WebScriptArray, HoldsThePresentRowsOfThePlanInItsOrder) {
  EXPECT_EQ(std::size(kLWebScriptPlan), 66u);
  const LWebScriptTable table = WebScriptArray();
  std::size_t row = 0;
  const auto check = [&](const LWebScriptPlanRow& planned) {
    if (!planned.present) return;
    ASSERT_LT(row, table.size()) << planned.path;
    EXPECT_STREQ(table[row].path, planned.path);
    EXPECT_NE(table[row].handler, nullptr);
    ++row;
  };
  for (const LWebScriptPlanRow& planned : kLWebScriptPlan) check(planned);
  // The paths this server adds come after the 66, so none of them hides one.
  for (const LWebScriptPlanRow& added : kLWebScriptAddedRows) check(added);
  EXPECT_EQ(row, table.size());
  for (std::size_t i = 0; i < std::size(kLWebScriptPlan); ++i) {
    for (std::size_t j = i + 1; j < std::size(kLWebScriptPlan); ++j) {
      EXPECT_NE(std::string(kLWebScriptPlan[i].path), kLWebScriptPlan[j].path);
    }
  }
}
