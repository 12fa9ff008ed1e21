#pragma once
// The panel's whole URL table on a loopback port, on 2026-03-10 12:00:00 UTC
// (fake clock), with the default leave types and an office of six in the
// roles the access rules tell apart (every password is "pw"):
//   boss   administrator          hr     accountant ("AccessHR")
//   mgr    manager of staff       other  manager of staff2 only
//   staff  staff2  plain users (staff2 in the team "Sales")

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/user.h"
#include "panel_fixture.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

// The full address of a user of the office.
inline std::string Email(const std::string& who) { return who + "@x.example"; }

class OfficeTest : public PanelTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new session of `who` (a short name above), without logging on.
  std::string SessionOf(const std::string& who);
  // One session of `who` for the whole test.
  std::string Session(const std::string& who);
  std::string GetAs(const std::string& who, const std::string& path) { return Get(path, Session(who)); }
  std::string PostAs(const std::string& who, const std::string& path, const std::string& body) {
    return Post(path, body, Session(who));
  }

  // The worked example of the hours calculation on `date` for `who`: active
  // 09:00-09:10, idle -09:15, active -09:20, break -12:00, active -12:10,
  // break -13:00, manual 13:00-14:00; active 25, manual 60, idle 5, break 210,
  // total 300 minutes.
  static void WriteWorkedExample(const std::string& who, const std::string& date);
  // One active row from `clock` lasting `seconds` with key strokes.
  static void WriteActivity(const std::string& who, const std::string& date, const std::string& clock, int seconds);
  // The manual hours log of `who` for `date`.
  static std::string ManualLog(const std::string& who, const std::string& date);

  // The leave log of `who` for `year`.
  static std::string LeaveLog(const std::string& who, const std::string& year);
  static std::string ReadLog(const std::string& who, const std::string& year);
  static void WriteLog(const std::string& who, const std::string& year, const std::string& bytes);
  // Posts the leave form of `who` for a holiday; `extra` fields go first,
  // because a field sent twice counts with its first value.
  std::string PostForm(const std::string& who, const std::string& from, const std::string& to,
                       const std::string& extra = "");
  static bool Flag(const std::string& who, const char* key);
  static std::string Text(const std::string& who, const char* key);
  // The rows of the page's tables that have `cells` cells, but the heading
  // (the row whose first cell is `heading`).
  static std::vector<Strings> TableRows(const std::string& page, std::size_t cells, const std::string& heading);
  // Stores `value` under `key` in the record of `who`.
  static void SetText(const std::string& who, const LKXUserKey& key, const std::string& value);

 private:
  std::optional<KavrixScopedTimeZone> zone_;
  std::map<std::string, std::string> sessions_;
};

using HoursPagesTest = OfficeTest;
