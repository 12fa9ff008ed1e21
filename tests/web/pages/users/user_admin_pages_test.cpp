// The user administration pages over real loopback HTTP with the whole URL
// table: the list (escaping), one refusal of each kind of the details form,
// what it stores, the form sent back unchanged, and deletion.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/pages/users/delete_user_page.h"
#include "web/pages/users/startup_instructions.h"
#include "web/pages/users/user_detail_page.h"
#include "web/pages/users/user_import_check.h"
#include "web/pages/users/user_list_csv_page.h"
#include "web/pages/users/user_list_page.h"
#include "web/pages/users/user_pickers.h"
#include "web/panel/access_rules.h"
#include "web/panel/html_list.h"
#include "web/text/uri_codec.h"

namespace {

class UserAdminPagesTest : public HoursPagesTest {
 protected:
  static std::string Text(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }
  // What the session of `who` keeps.
  std::string Stored(const std::string& who) { return KavrixReadFile(SessionFile(Session(who))); }
  // Opens the form for `seluser` (so the session names the user), then posts.
  std::string PostDetail(const std::string& who, const std::string& seluser, const std::string& body) {
    GetAs(who, "userdetail?seluser=" + LURIEncode(seluser));
    return PostAs(who, "userdetail", body);
  }
};

// Names escaped, addresses encoded in links and boxes; a manager's report
// lists hold only the users he manages; bad requests get a message.
TEST_F(UserAdminPagesTest, ListsEscapeNamesAndHoldWhatTheViewerMayReportOn) {
  ASSERT_TRUE(KXAddUser("a+b@x.example", "<i>Eve</i> \"q\"", false, false, "", Email("mgr"), "pw"));
  const HtmlPage all(GetAs("boss", "userlist?category=all"));
  EXPECT_EQ(all.Href("<i>Eve</i> \"q\""),
            "userdetail?seluser=a%2Bb%40x.example&onok=userlist&oncancel=userlist&category=all&direct=false");
  ASSERT_NE(all.ByName("check6"), nullptr);
  EXPECT_EQ(all.ByName("check6")->Attribute("value"), "a+b@x.example");
  const std::string viewhours = GetAs("mgr", "userlist?category=viewhours");
  EXPECT_EQ(HtmlPage(viewhours).Href("Staff"),
            "viewhours?seluser=staff%40x.example&onok=userlist&oncancel=userlist&category=viewhours&direct=false");
  EXPECT_FALSE(Contains(Visible(viewhours), "Staff Two"));
  EXPECT_TRUE(Contains(GetAs("boss", "userlist?category=nonsense"), kKXUserListNotAuthorized));
  EXPECT_TRUE(Contains(GetAs("boss", "userdetail?seluser=ghost%40x.example"), kKXDetailNoSuchUser));
}

// The checks are the model's; each problem's message on its control here.
// A field sent twice counts with its first value: each case goes first.
TEST_F(UserAdminPagesTest, EachValidationOnItsControl) {
  ASSERT_TRUE(KXAddTeam("Sales"));
  const std::string valid =
      "&101=n%40x.example&102=New&104=Sales&108=mgr%40x.example&106=on&rbg1=110&rbg2=210&rbg3=310&submit=++OK++";
  const struct {
    std::string seluser, fields, message;
  } cases[] = {
      {"new", "101=", kKXDetailEnterEmail},
      {"new", "101=STAFF%40x.example", kKXDetailEmailExists},
      {Email("boss"), "106=", kKXDetailLastAdministrator},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Contains(PostDetail("boss", c.seluser, c.fields + valid), ErrorRow(c.message))) << c.fields;
  }
  EXPECT_EQ(KXUserCount(), 6);
  EXPECT_EQ(Text(Email("boss"), kKXUserAccessAdmin), "1");
}

TEST_F(UserAdminPagesTest, AddsAUserWithEveryEmploymentSetting) {
  EXPECT_EQ(PostDetail("boss", "new",
                       "101=+new%40x.example+&102=New+Person&104=&108=mgr%40x.example&rbg1=110&rbg2=211&212=30"
                       "&rbg3=310&401=on&402=on&403=on&406=on&501=09%3A00&502=17%3A30%3A00&602=on&603=12%3A00%3A00"
                       "&604=45&submit=++OK++"),
            Redirect("userlist"));
  std::string values;
  for (const LKXUserKey* key :
       {&kKXUserName, &kKXUserTeam, &kKXUserManager, &kKXUserAccessAdmin, &kKXUserWorkType, &kKXUserWorkHours,
        &kKXUserWorkDays, &kKXUserNormalHourStart, &kKXUserNormalHourEnd, &kKXUserTakeLunchTime, &kKXUserLunchStartTime,
        &kKXUserLunchDurationMins, &kKXUserLogScreenShot, &kKXUserPasswordReq}) {
    values += Text("new@x.example", *key) + "|";
  }
  EXPECT_EQ(values, "New Person|DefaultTeam|mgr@x.example|0|1|30|78|09:00:00|17:30:00|1|12:00:00|45|0|1|");
}

// Every kind of stored record, opened by an administrator and sent back as
// the browser shows it: the record file stays byte for byte. "WorkType" 0
// and 1 are both permanent, "WorkHours" 0 is the organisation's full time.
TEST_F(UserAdminPagesTest, DetailsSentBackUnchangedStoreTheSameValues) {
  using Values = std::vector<std::pair<const char*, const char*>>;  // record keys and values
  const Values kinds[] = {
      {{"WorkType", "1"}, {"WorkHours", "0"}, {"WorkDays", "62"}},
      {{"WorkType", "2"}, {"WorkHours", "20"}, {"WorkDays", "128"}, {"NormalHourStart", "00:00:00"}},
      // A team deleted since and a manager whose address is gone stay.
      {{"ShowDetails", "0"}, {"Team", "Gone,DefaultTeam"}, {"Manager", "gone@x.example,mgr@x.example"}},
  };
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  const std::string path = staff.GetPath();
  const std::string original = KavrixReadFile(path);
  for (const Values& kind : kinds) {
    ASSERT_TRUE(KavrixWriteFile(path, original));
    for (const auto& [key, value] : kind) SetText("staff", {key, ""}, value);
    const std::string before = KavrixReadFile(path);
    const std::string page = GetAs("boss", "userdetail?seluser=staff%40x.example");
    EXPECT_EQ(Post("userdetail", SendBack(page, "submit=++OK++"), Session("boss")), Redirect("userlist"));
    EXPECT_EQ(KavrixReadFile(path), before) << kind.front().first;
  }
}

TEST_F(UserAdminPagesTest, DeletingRemovesTheRecordOnly) {
  WriteActivity("staff", "2026-03-09", "09:00:00", 60);
  const std::string log = LKXCoreData::GetUserFilePathForReading(Email("staff"), "2026-03-09_activity.csv");
  const std::string& s = Session("boss");
  EXPECT_TRUE(Contains(Post("deleteuser", "101=boss%40x.example&submit=++OK++", s), ErrorRow(kKXDeleteSelf)));
  EXPECT_EQ(Post("deleteuser", "101=STAFF%40x.example&submit=++OK++", s), Redirect("userlist"));
  EXPECT_FALSE(KXUserExists(Email("staff")));
  EXPECT_TRUE(Contains(KavrixReadFile(log), "WINWORD.EXE"));
  EXPECT_EQ(KXUserCount(), 5);
}

}  // namespace
