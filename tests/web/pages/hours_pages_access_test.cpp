// The access rule of every hours page, role by role: the user, the user's
// manager, another manager, the accountant, the administrator and a plain
// user, each asking for staff's data.

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"

namespace {

class HoursPagesAccessTest : public HoursPagesTest {};

TEST_F(HoursPagesAccessTest, EachPageAppliesTheRuleToTheUserItShows) {
  WriteWorkedExample("staff", "2026-03-02");
  const std::string user = "seluser=staff%40x.example";
  const struct {
    const char* page;
    std::string request;
    std::string shown;    // what the page shows of staff's data
    std::string refused;  // what it says instead
  } pages[] = {
      {"time sheet", "timesheet?" + user + "&date=2026-03-02", "<title>manual 13:00:00-14:00:00</title>",
       "Only the manager of this user can view this user's breaks. If you are meant to be the manager, please ask "
       "the KavrixServer administrator to list you as a manager."},
      {"time sheet post", "timesheetpost?userselect=staff%40x.example&dateinput=2026-03-02",
       "<title>manual 13:00:00-14:00:00</title>", "Only the manager of this user can view this user's breaks."},
      {"work hours", "viewhours?" + user + "&startdate=2026-03-02&enddate=2026-03-02", "Total 1 days",
       "Only the manager of user staff@x.example can view the work hours."},
      {"work hours post", "viewhourspost?" + user + "&startdate=2026-03-02&submit=++Search++", "Total 1 days",
       "Only the manager of user staff@x.example can view the work hours."},
      {"CSV", "viewhours.csv?" + user + "&startdate=2026-03-02", "staff@x.example,2026-03-02,09:00:00",
       "HTTP/1.1 403 Forbidden"},
      {"calendar", "searchlist?" + user + "&class=viewhours&yearmonth=2026-03", "2026-03-02&nbsp;Mon.",
       "You are not authorized to see this page!"},
  };
  const struct {
    const char* who;
    bool allowed;
  } viewers[] = {
      {"staff", true}, {"mgr", true}, {"other", false}, {"hr", true}, {"boss", true}, {"staff2", false},
  };
  for (const auto& viewer : viewers) {
    for (const auto& p : pages) {
      const std::string answer = Get(p.request, SessionOf(viewer.who));
      EXPECT_EQ(Contains(answer, p.shown), viewer.allowed) << viewer.who << " " << p.page << "\n" << answer;
      EXPECT_EQ(Contains(answer, p.refused), !viewer.allowed) << viewer.who << " " << p.page;
    }
  }
}

}  // namespace
