#pragma once
// The hours pages on a real server with the panel's whole URL table, six
// users in the six roles the access rule tells apart, and logs with known
// totals:
//   boss   administrator          hr     accountant ("AccessHR")
//   mgr    manager of staff       other  manager of staff2 only
//   staff  staff2  plain users    (staff's manager is mgr, staff2's other)
// Days are in UTC; the fake clock stands at 2026-03-10 12:00:00.

#include <string>

#include "foundation/date_time.h"
#include "panel_fixture.h"

class HoursPagesTest : public PanelTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A session of `who` (a short name above) without logging on; its id.
  std::string SessionOf(const std::string& who);
  static std::string Email(const std::string& who) { return who + "@x.example"; }
  // `date` ("YYYY-MM-DD") at `clock` ("HH:MM:SS") in UTC.
  static LDateTime At(const std::string& date, const std::string& clock);

  // The worked example of the hours calculation on `date` for `who`: active
  // 09:00-09:10, idle -09:15, active -09:20, break -12:00, active -12:10,
  // break -13:00, manual 13:00-14:00; active 25, manual 60, idle 5, break 210,
  // total 300 minutes.
  static void WriteWorkedExample(const std::string& who, const std::string& date);
  // One active row from `clock` lasting `seconds` with key strokes.
  static void WriteActivity(const std::string& who, const std::string& date, const std::string& clock, int seconds);
};

// One row of an LHtmlList as it is written (`first` for the shaded rows),
// every cell left aligned.
std::string ListRow(bool shaded, std::initializer_list<std::string> cells);
