#pragma once
// The whole panel's URL table on a loopback port, with an office of six:
// an administrator, an accountant (HR), two managers, a member of staff of
// the first and a plain user of the second; the clock stands at
// 2026-03-10 12:00:00 UTC.

#include <regex>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/core_data.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "support/test_helpers.h"
#include "web/pages/common/web_script_array.h"

class ManualPagesTest : public PanelTest {
 protected:
  static constexpr std::int32_t kNow = 1773144000;  // 2026-03-10 12:00:00 UTC

  void SetUp() override {
    PanelTest::SetUp();
    DestroyServer();
    StartServer(WebScriptArray());
    SetTimeZone("UTC");
    LDateTime::SetFakeNow(kNow);
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("mgr@x.example", "Mgr", false, false, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("mgr2@x.example", "Mgr Two", false, false, "", "boss@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("staff@x.example", "Staff <S>", false, false, "", "mgr@x.example", "pw"));
    ASSERT_TRUE(KXAddUser("plain@x.example", "Plain", false, false, "", "mgr2@x.example", "pw"));
  }
  void TearDown() override {
    LDateTime::ClearFakeNow();
    PanelTest::TearDown();
  }

  static std::string ManualLog(const std::string& email, const char* date) {
    LDateTime day;
    EXPECT_TRUE(day.SetDateTime(date, "12:00:00"));
    std::string path;
    EXPECT_TRUE(LKXCoreData::GetUserManualLogCSV(email, day, path));
    return path;
  }
  std::string GetAs(const std::string& email, const std::string& path) { return Get(path, LogOn(email, "pw")); }
  std::string PostAs(const std::string& email, const std::string& path, const std::string& body) {
    return Post(path, body, LogOn(email, "pw"));
  }

  // The texts of the list's cells, row after row.
  static std::vector<std::string> Cells(const std::string& page) {
    static const std::regex cell("<td align=\\w+ valign=top class=tdList>(.*?)</td>");
    std::vector<std::string> cells;
    for (std::sregex_iterator it(page.begin(), page.end(), cell), end; it != end; ++it) {
      cells.push_back((*it)[1]);
    }
    return cells;
  }
};
