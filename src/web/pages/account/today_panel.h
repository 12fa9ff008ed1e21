#pragma once
// The "Today" panel of the main page and its refresh, "today.json": for
// every user his own hours today and this week against the required hours,
// his pending leave requests and his next approved leave; for managers, HR
// and administrators also one row per staff member they may see (the
// reports' rule) with the live state, and counts of what waits for them.
// The page and the JSON come from one LKXToday, so they show the same.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/user.h"

class LWebletForm;

// One staff member's row.
struct LKXTodayRow {
  std::string email;
  std::string name;
  // "active", "idle", "private", "away", "notin", "leave", "holiday", "off".
  std::string state;
  LDateTime since;          // unset when unknown
  std::string leaveType;    // on leave: the type
  std::string application;  // empty where not to be shown
  std::string caption;
  std::int32_t todayMinutes = 0;
  std::int32_t weekMinutes = 0;
  std::optional<std::int32_t> weekRequired;  // none for casual staff
};

struct LKXTodayLeave {
  std::string start, end, type;
};

struct LKXToday {
  std::string email;
  std::string date;  // today, "YYYY-MM-DD"
  std::int32_t todayMinutes = 0;
  std::int32_t weekMinutes = 0;
  std::optional<std::int32_t> weekRequired;
  int pending = 0;  // own pending leave requests
  std::optional<LKXTodayLeave> nextLeave;
  bool staffView = false;  // a manager, HR or an administrator
  std::vector<LKXTodayRow> staff;
  // What waits for a manager, shown as the main page shows its reports:
  // pending requests only where approval is required, both only with the
  // leave module on.
  std::optional<int> staffPending;      // the own staff's pending leave requests
  std::optional<int> staffUnexplained;  // their unexplained absent days last week
};

// The panel's data for `viewer` at `now`.
LKXToday KXReadToday(LKXUser& viewer, LDateTime now);

// The label of a row's state ("In now", "Not in yet", ...).
const char* KXTodayStateLabel(const std::string& state);
