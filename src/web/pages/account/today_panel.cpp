#include "web/pages/account/today_panel.h"

#include "hours/required_minutes.h"
#include "hours/time_period_list.h"
#include "model/leave_requests.h"
#include "model/org_settings.h"
#include "model/public_holidays.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/pages/account/day_minutes_cache.h"
#include "web/pages/account/presence_view.h"
#include "web/pages/hours/unexplained_absence_page.h"

namespace {

int WeekDayIndex(LDateTime day) {
  const LWeekDay bit = day.GetWeekDay();
  for (int i = 0; i < 7; ++i) {
    if (bit.value == (1u << i)) return i;
  }
  return -1;
}

// The days a panel reads: today and the Monday that starts its week, both
// at 00:00:00.
struct TodayDays {
  LDateTime today;
  LDateTime monday;
  int year = 0;
};

TodayDays ReadDays(LDateTime now) {
  TodayDays days;
  days.today = now;
  days.today.SetDayTime(LDayTime(0));
  days.monday = days.today;
  days.monday.AddCalendarDays(-((WeekDayIndex(days.today) + 6) % 7));
  days.year = std::stoi(days.today.GetDateText().substr(0, 4));
  return days;
}

// Worked minutes today and from Monday to today, and what the week asks for.
struct WeekMinutes {
  std::int32_t today = 0, week = 0;
  std::optional<std::int32_t> required;
};

WeekMinutes ReadWeekMinutes(LTimePeriodList& list, LKXUser& user, const std::string& email, const TodayDays& days) {
  WeekMinutes minutes;
  for (LDateTime day = days.monday; day <= days.today;) {
    const std::int32_t worked = KXCachedDayMinutes(list, user, email, day);
    minutes.week += worked;
    if (day == days.today) minutes.today = worked;
    if (!day.AddCalendarDays(1)) break;
  }
  // Casual staff owe no hours; everyone else the week's required minutes,
  // leave and public holidays taken off, as the weekly warnings count them.
  if (!user.IsCasual()) {
    LDateTime sunday = days.monday;
    sunday.AddCalendarDays(6);
    minutes.required = LKXRequiredWorkMinutes(user, days.monday, sunday);
  }
  return minutes;
}

bool Covers(const LKXLeaveRequest& request, const std::string& date) {
  return request.Start() <= date && date <= request.End();
}

// The live state of a staff member, or what keeps him away.
void ReadState(LKXUser& user, const std::vector<LKXLeaveRequest>& requests, const TodayDays& days, LDateTime now,
               LKXTodayRow& row) {
  const bool connected = user.GetFlag(kKXUserConnected);
  const LDateTime changed(user.GetNumber(kKXUserStateChanged));
  const std::string date = days.today.GetDateText();
  if (connected) {
    row.state = KXPresenceStateName(true, user);
    // Idle past the tolerance is a break by the hours rules: away.
    if (row.state == "idle" && changed.IsSet() &&
        now.value - changed.value >= KXOrgGetInt(LKXOrg::kToleranceTime) * 60) {
      row.state = "away";
    }
    row.since = changed;
    if (KXPresenceCaptionShown(user, true)) {
      row.application = user.GetText(kKXUserLastApplication);
      row.caption = user.GetText(kKXUserLastCaption);
    }
    return;
  }
  for (const LKXLeaveRequest& request : requests) {
    if (request.Status() == kKXLeaveApproved && Covers(request, date)) {
      row.state = "leave";
      row.leaveType = request.Type();
      return;
    }
  }
  if (KXIsPublicHoliday(days.today)) {
    row.state = "holiday";
    return;
  }
  const std::string start = user.GetText(kKXUserNormalHourStart);
  LDayTime startTime;
  startTime.SetText(start);
  if (row.todayMinutes == 0 && user.GetWorkDays().ContainsIndex(WeekDayIndex(days.today)) && !start.empty() &&
      now.GetDayTime() >= startTime) {
    row.state = "notin";
    LDateTime expected = days.today;
    expected.SetDayTime(startTime);
    row.since = expected;
    return;
  }
  row.state = "off";
  if (changed >= days.today) row.since = changed;
}

}  // namespace

const char* KXTodayStateLabel(const std::string& state) {
  if (state == "active") return "In now";
  if (state == "idle") return "Idle";
  if (state == "private") return "Private";
  if (state == "away") return "Away";
  if (state == "notin") return "Not in yet";
  if (state == "leave") return "On leave";
  if (state == "holiday") return "Public holiday";
  return "Off";
}

LKXToday KXReadToday(LKXUser& viewer, LDateTime now) {
  LKXToday today;
  const TodayDays days = ReadDays(now);
  viewer.HoldReading();
  today.email = viewer.GetEmail();
  today.date = days.today.GetDateText();
  LTimePeriodList list;
  const WeekMinutes own = ReadWeekMinutes(list, viewer, today.email, days);
  today.todayMinutes = own.today;
  today.weekMinutes = own.week;
  today.weekRequired = own.required;
  for (const LKXLeaveRequest& request : KXReadLeaveRequests(today.email, days.year, days.year + 1)) {
    if (request.IsPending()) {
      ++today.pending;
    } else if (request.Status() == kKXLeaveApproved && request.End() >= today.date && !today.nextLeave) {
      today.nextLeave = LKXTodayLeave{request.Start(), request.End(), request.Type()};
    }
  }
  today.staffView = KXIsManager(viewer) || viewer.IsAccountant() || viewer.IsAdministrator();
  if (!today.staffView) return today;
  const bool modeLeave = KXOrgGetBool(LKXOrg::kModeLeave);
  if (modeLeave && KXOrgGetBool(LKXOrg::kLeaveApprovalRequired)) today.staffPending = 0;

  // The reports' rule (KXViewerMaySee), read from the record at hand rather
  // than opening each record again.
  const bool seesAll = viewer.IsAdministrator() || viewer.IsAccountant();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    user.HoldReading();  // one read of each record, not one per key
    const std::string email = user.GetEmail();
    if (email.empty() || KXSameName(email, today.email)) continue;
    const bool ownStaff = KXCommaListContains(user.GetText(kKXUserManager), today.email);
    // The count follows the pending requests page: only a manager's own
    // staff. A monitor sees others without being seen, as on the stations.
    const bool managed = today.staffPending && ownStaff;
    const bool shown = !user.IsMonitor() && (seesAll || ownStaff);
    if (!managed && !shown) continue;
    const std::vector<LKXLeaveRequest> requests = KXReadLeaveRequests(email, days.year, days.year + 1);
    if (managed) {
      for (const LKXLeaveRequest& request : requests) {
        if (request.IsPending()) ++*today.staffPending;
      }
    }
    if (!shown) continue;
    LKXTodayRow row;
    row.email = email;
    row.name = user.GetName();
    const WeekMinutes minutes = ReadWeekMinutes(list, user, email, days);
    row.todayMinutes = minutes.today;
    row.weekMinutes = minutes.week;
    row.weekRequired = minutes.required;
    ReadState(user, requests, days, now, row);
    today.staff.push_back(std::move(row));
  }
  if (modeLeave) {
    LDateTime lastMonday = days.monday, lastSunday = days.monday;
    lastMonday.AddCalendarDays(-7);
    lastSunday.AddCalendarDays(-1);
    today.staffUnexplained = KXCountUnexplainedAbsences(today.email, lastMonday, lastSunday);
  }
  return today;
}
