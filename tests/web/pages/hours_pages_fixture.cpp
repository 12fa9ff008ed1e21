#include "hours_pages_fixture.h"

#include "model/core_data.h"
#include "model/teams.h"
#include "model/users.h"
#include "support/test_dates.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/uri_codec.h"

void OfficeTest::SetUp() {
  StartPanel(WebScriptArray(), true);
  zone_.emplace("UTC");
  LDateTime::SetFakeNow(1773144000);  // Tuesday 2026-03-10 12:00:00 UTC
  for (std::string_view type : kKXDefaultLeaveTypes) ASSERT_TRUE(KXAddLeaveType(type));
  ASSERT_TRUE(KXAddUser(Email("boss"), "Boss", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser(Email("hr"), "Hr", false, true, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("mgr"), "Mgr", false, false, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("other"), "Other", false, false, "", "nobody@x.example", "pw"));
  ASSERT_TRUE(KXAddUser(Email("staff"), "Staff", false, false, "", Email("mgr"), "pw"));
  ASSERT_TRUE(KXAddUser(Email("staff2"), "Staff Two", false, false, "Sales", Email("other"), "pw"));
}

void OfficeTest::TearDown() {
  LDateTime::ClearFakeNow();
  PanelTest::TearDown();
  zone_.reset();
}

std::string OfficeTest::SessionOf(const std::string& who) {
  static int counter = 0;
  const std::string id = "lhourstst" + std::to_string(++counter);
  EXPECT_TRUE(WriteSession(id, "user=" + LURIEncode(Email(who))));
  return id;
}

std::string OfficeTest::Session(const std::string& who) {
  std::string& id = sessions_[who];
  if (id.empty()) id = SessionOf(who);
  return id;
}

void OfficeTest::WriteActivity(const std::string& who, const std::string& date, const std::string& clock, int seconds) {
  ASSERT_TRUE(LKXCoreData::LogActivity(Email(who), KavrixAt(date.c_str(), clock.c_str()), seconds, 0, 12, 3,
                                       "WINWORD.EXE", "Report"));
}

void OfficeTest::WriteWorkedExample(const std::string& who, const std::string& date) {
  WriteActivity(who, date, "09:00:00", 600);
  WriteActivity(who, date, "09:15:00", 300);
  WriteActivity(who, date, "12:00:00", 600);
  ASSERT_TRUE(LKXCoreData::LogManualEntry(Email(who), KavrixAt(date.c_str(), "13:00:00"), 3600, 0, "meeting"));
}

std::string OfficeTest::ManualLog(const std::string& who, const std::string& date) {
  std::string path;
  EXPECT_TRUE(LKXCoreData::GetUserManualLogCSV(Email(who), KavrixAt(date.c_str(), "12:00:00"), path));
  return path;
}

std::string OfficeTest::LeaveLog(const std::string& who, const std::string& year) {
  std::string path;
  EXPECT_TRUE(LKXCoreData::GetUserLeaveLogCSV(Email(who), year, path));
  return path;
}

std::string OfficeTest::ReadLog(const std::string& who, const std::string& year) {
  return KavrixReadFile(LeaveLog(who, year));
}

void OfficeTest::WriteLog(const std::string& who, const std::string& year, const std::string& bytes) {
  ASSERT_TRUE(KavrixWriteFile(LeaveLog(who, year), bytes));
}

std::string OfficeTest::PostForm(const std::string& who, const std::string& from, const std::string& to,
                                 const std::string& extra) {
  return Post("leaveform", "submit=++OK++" + extra + "&103=0%24holiday&104=" + from + "&105=" + to + "&106=trip",
              Session(who));
}

bool OfficeTest::Flag(const std::string& who, const char* key) {
  LKXUser record;
  EXPECT_TRUE(KXGetUser(Email(who), record));
  return record.GetFlag({key, "0"});
}

std::string OfficeTest::Text(const std::string& who, const char* key) {
  LKXUser record;
  EXPECT_TRUE(KXGetUser(Email(who), record));
  return record.GetText({key, ""});
}

void OfficeTest::SetText(const std::string& who, const LKXUserKey& key, const std::string& value) {
  LKXUser record;
  ASSERT_TRUE(KXGetUser(Email(who), record));
  ASSERT_TRUE(record.SetText(key, value));
}

std::vector<Strings> OfficeTest::TableRows(const std::string& page, std::size_t cells, const std::string& heading) {
  std::vector<Strings> rows;
  for (const Strings& row : HtmlPage(page).Rows()) {
    if (row.size() == cells && row[0] != heading) rows.push_back(row);
  }
  return rows;
}
