#include "hours_pages_fixture.h"

#include "model/core_data.h"
#include "model/users.h"
#include "support/test_helpers.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/uri_codec.h"

void HoursPagesTest::SetUp() {
  PanelTest::SetUp();
  // The whole table, so the tests also reach the pages through their rows.
  DestroyServer();
  StartServer(WebScriptArray());
  SetTimeZone("UTC");
  LDateTime::SetFakeNow(1773144000);  // 2026-03-10 12:00:00 UTC
  ASSERT_TRUE(KXAddUser(Email("boss"), "Boss", true, false, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("hr"), "Hr", false, true, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("mgr"), "Mgr", false, false, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("other"), "Other", false, false, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("staff"), "Staff", false, false, "", Email("mgr"), "pw"));
  ASSERT_TRUE(KXAddUser(Email("staff2"), "Staff Two", false, false, "", Email("other"), "pw"));
}

void HoursPagesTest::TearDown() {
  LDateTime::ClearFakeNow();
  PanelTest::TearDown();
}

std::string HoursPagesTest::SessionOf(const std::string& who) {
  static int counter = 0;
  const std::string id = "lhourstst" + std::to_string(++counter);
  EXPECT_TRUE(WriteSession(id, "user=" + LURIEncode(Email(who))));
  return id;
}

LDateTime HoursPagesTest::At(const std::string& date, const std::string& clock) {
  LDateTime moment;
  EXPECT_TRUE(moment.SetDateTime(date, clock));
  return moment;
}

void HoursPagesTest::WriteActivity(const std::string& who, const std::string& date, const std::string& clock,
                                   int seconds) {
  ASSERT_TRUE(LKXCoreData::LogActivity(Email(who), At(date, clock), seconds, 0, 12, 3, "WINWORD.EXE", "Report"));
}

void HoursPagesTest::WriteWorkedExample(const std::string& who, const std::string& date) {
  WriteActivity(who, date, "09:00:00", 600);
  WriteActivity(who, date, "09:15:00", 300);
  WriteActivity(who, date, "12:00:00", 600);
  ASSERT_TRUE(LKXCoreData::LogManualEntry(Email(who), At(date, "13:00:00"), 3600, 0, "meeting"));
}

std::string ListRow(bool shaded, std::initializer_list<std::string> cells) {
  std::string row = shaded ? "</tr><tr bgcolor=#f5fafa>" : "</tr><tr bgcolor=#ffffff>";
  for (const std::string& cell : cells) row += "<td align=left valign=top class=tdList>" + cell + "</td>";
  return row;
}
