#include "leave_fixture.h"

#include <map>

#include "foundation/date_time.h"
#include "model/core_data.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/test_helpers.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/uri_codec.h"

namespace {
std::map<std::string, std::string> gSessions;
}

std::string Mail(const std::string& name) { return name + "@x.example"; }

void LeavePagesTest::SetUp() {
  PanelTest::SetUp();
  DestroyServer();
  StartServer(WebScriptArray());
  SetTimeZone("UTC");
  LDateTime::SetFakeNow(1773144000);  // Tuesday 2026-03-10 12:00:00 UTC
  gSessions.clear();
  for (std::string_view type : kKXDefaultLeaveTypes) ASSERT_TRUE(KXAddLeaveType(type));
  ASSERT_TRUE(KXAddUser(Mail("boss"), "Boss", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser(Mail("hr"), "Hr", false, true, "", Mail("boss"), "pw"));
  ASSERT_TRUE(KXAddUser(Mail("mgr"), "Mgr", false, false, "", Mail("boss"), "pw"));
  ASSERT_TRUE(KXAddUser(Mail("mgr2"), "Mgr Two", false, false, "", Mail("boss"), "pw"));
  ASSERT_TRUE(KXAddUser(Mail("staff"), "Staff", false, false, "", Mail("mgr"), "pw"));
  ASSERT_TRUE(KXAddUser(Mail("staff2"), "Staff Two", false, false, "Sales", Mail("mgr2"), "pw"));
}

void LeavePagesTest::TearDown() {
  LDateTime::ClearFakeNow();
  PanelTest::TearDown();
}

std::string LeavePagesTest::LogPath(const std::string& user, const std::string& year) {
  std::string path;
  EXPECT_TRUE(LKXCoreData::GetUserLeaveLogCSV(Mail(user), year, path));
  return path;
}

std::string LeavePagesTest::ReadLog(const std::string& user, const std::string& year) {
  return KavrixReadFile(LogPath(user, year));
}

void LeavePagesTest::WriteLog(const std::string& user, const std::string& year, const std::string& bytes) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(user, year), bytes));
}

std::string LeavePagesTest::Session(const std::string& name) {
  std::string& id = gSessions[name];
  if (id.empty()) id = LogOn(Mail(name), "pw");
  EXPECT_FALSE(id.empty()) << name;
  return id;
}

std::string LeavePagesTest::PostForm(const std::string& name, const std::string& from, const std::string& to,
                                     const std::string& extra) {
  // A field sent twice counts with its first value, so `extra` goes first.
  return Post("leaveform", "submit=++OK++" + extra + "&103=0%24holiday&104=" + from + "&105=" + to + "&106=trip",
              Session(name));
}

bool LeavePagesTest::Flag(const std::string& user, const char* key) {
  LKXUser record;
  EXPECT_TRUE(KXGetUser(Mail(user), record));
  return record.GetFlag({key, "0"});
}

std::string LeavePagesTest::Text(const std::string& user, const char* key) {
  LKXUser record;
  EXPECT_TRUE(KXGetUser(Mail(user), record));
  return record.GetText({key, ""});
}
