// The main page's "Today" panel and today.json: the states of a staff row,
// the hours against the required hours and the counts, on a real server
// (who sees whom is the reports' rule, checked by the viewer rule's table).

#include "web/pages/account/today_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/public_holidays.h"
#include "model/users.h"
#include "support/test_helpers.h"

namespace {

constexpr std::int32_t kNow = 1773144000;  // Tuesday 2026-03-10 12:00:00 UTC

class TodayPanelTest : public HoursPagesTest {
 protected:
  static LKXUser User(const std::string& who) {
    LKXUser user;
    EXPECT_TRUE(KXGetUser(Email(who), user)) << who;
    return user;
  }
  static LKXToday TodayOf(const std::string& who) {
    LKXUser viewer = User(who);
    return KXReadToday(viewer, LDateTime(kNow));
  }
  static const LKXTodayRow* RowOf(const LKXToday& today, const std::string& who) {
    for (const LKXTodayRow& row : today.staff) {
      if (row.email == Email(who)) return &row;
    }
    return nullptr;
  }
};

TEST_F(TodayPanelTest, AStaffRowShowsTheLiveStateOrWhatKeepsThePersonAway) {
  LSettingSetString("Settings", "ToleranceTime", "10");
  const struct {
    const char* name;
    bool connected, active, isPrivate;
    std::int32_t changedAgo;  // seconds before now
    const char *normalStart, *leave;  // a leave log row
    bool holiday;
    const char *state, *since;
  } cases[] = {
      {"idle within the tolerance", true, false, false, 599, "09:00:00", "", false, "idle", "11:50"},
      {"idle past the tolerance", true, false, false, 600, "09:00:00", "", false, "away", "11:50"},
      {"private", true, false, true, 60, "09:00:00", "", false, "private", "11:59"},
      {"start exactly now", false, false, false, 0, "12:00:00", "", false, "notin", "12:00"},
      {"before the start", false, false, false, 0, "12:00:01", "", false, "off", ""},
      {"approved leave", false, false, false, 0, "09:00:00", "2026-03-09,2026-03-11,Sick,\"\",1,\"\"\r\n", false,
       "leave", ""},
      {"pending leave", false, false, false, 0, "09:00:00", "2026-03-10,2026-03-10,Sick,\"\",0,\"\"\r\n", false,
       "notin", "09:00"},
      {"public holiday", false, false, false, 0, "09:00:00", "", true, "holiday", ""},
  };
  for (const auto& c : cases) {
    LKXUser staff = User("staff");
    ASSERT_TRUE(staff.SetFlag(kKXUserConnected, c.connected) && staff.SetFlag(kKXUserStateActive, c.active) &&
                staff.SetFlag(kKXUserStatePrivate, c.isPrivate) && staff.SetNumber(kKXUserWorkDays, 62) &&
                staff.SetNumber(kKXUserStateChanged, c.connected ? kNow - c.changedAgo : 0) &&
                staff.SetText(kKXUserNormalHourStart, c.normalStart));
    WriteLog("staff", "2026", c.leave);
    // The holiday row comes last: the holiday stays.
    ASSERT_TRUE(!c.holiday || KXAddPublicHoliday("2026-03-10", "2026-03-10", "Feast"));
    const LKXToday today = TodayOf("mgr");
    const LKXTodayRow* row = RowOf(today, "staff");
    ASSERT_NE(row, nullptr) << c.name;
    EXPECT_EQ(row->state, c.state) << c.name;
    EXPECT_EQ(row->since.IsSet() ? row->since.GetTimeText().substr(0, 5) : "", c.since) << c.name;
    EXPECT_EQ(row->leaveType, std::string(c.state) == "leave" ? "Sick" : "") << c.name;
  }
}

}  // namespace
