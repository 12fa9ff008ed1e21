// The change-e-mail dialog over real loopback HTTP: who may change which
// address, every refusal, and what a change rewrites.

#include "web/pages/account/change_email_page.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "model/users.h"
#include "panel_fixture.h"

namespace {

class ChangeEmailPageTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("staff@x.example", "Staff", false, false, "", "", "pw"));
    ASSERT_TRUE(KXAddUser("cy@x.example", "Cy", false, false, "", "staff@x.example,Boss@x.example", "pw"));
    std::string folder;
    ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("staff@x.example", folder));
    ASSERT_TRUE(KavrixWriteFile(folder + "/2026_leave.csv", "row\r\n"));
    staff_ = LogOn("staff@x.example", "pw");
    boss_ = LogOn("boss@x.example", "pw");
    ASSERT_FALSE(staff_.empty());
    ASSERT_FALSE(boss_.empty());
  }

  std::string Change(const std::string& session, const std::string& fields) {
    return Post("changeemail", fields + "&submit=++OK++", session);
  }
  static std::string Archive(const std::string& folder) { return LKXCoreData::GetArchiveRoot() + "/" + folder; }
  static std::string UserText(const std::string& email, const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser(email, user) ? user.GetText(key) : "<no user>";
  }

  std::string staff_;
  std::string boss_;
};

TEST_F(ChangeEmailPageTest, FirstDisplayPresetsTheAddress) {
  const std::string own = Get("changeemail?seluser=staff%40x.example&onok=logout&oncancel=mainpage", staff_);
  const HtmlPage page(own);
  EXPECT_TRUE(Contains(page.Text(), "Change Email Address Email Address: New Email: Confirm New Email:"));
  EXPECT_TRUE(Contains(page.Text(), Visible(kLChangeEmailNote)));
  EXPECT_EQ(page.Field("101"), "staff@x.example");
  EXPECT_TRUE(page.ByName("101")->Has("readonly"));
  EXPECT_EQ(page.Field("102"), "");
  EXPECT_EQ(page.Field("103"), "");
  EXPECT_EQ(page.Field("onok"), "logout");
  EXPECT_TRUE(Contains(own, "href=\"help/changeemail.html\""));
  // Staff see their own address whatever the list chose; administrators the
  // chosen user's, which the session keeps for the post.
  EXPECT_EQ(HtmlPage(Get("changeemail?seluser=cy%40x.example", staff_)).Field("101"), "staff@x.example");
  EXPECT_EQ(HtmlPage(Get("changeemail?seluser=cy%40x.example", boss_)).Field("101"), "cy@x.example");
  EXPECT_TRUE(Contains(KavrixReadFile(SessionFile(boss_)), "seluser=cy%40x.example"));
  EXPECT_EQ(HtmlPage(Get("changeemail", boss_)).Field("onok"), "userlist");
}

TEST_F(ChangeEmailPageTest, EachRefusalOnItsControl) {
  ASSERT_EQ(mkdir(Archive("taken@yexample").c_str(), 0777), 0);
  struct Case {
    std::string session;
    std::string fields;
    std::string row;
  };
  const Case cases[] = {
      {staff_, "101=staff%40x.example&102=&103=", ErrorRow(kLChangeEmailEnter)},
      {staff_, "101=staff%40x.example&102=new%40y&103=new%40y", ErrorRow(kLChangeEmailInvalid)},
      {staff_, "101=staff%40x.example&102=new%40y.example&103=New%40y.example", ErrorRow(kLChangeEmailDiffer)},
      {staff_, "101=staff%40x.example&102=Ta.ken%40Y.example&103=Ta.ken%40Y.example",
       ErrorRow("User folder taken@yexample already exists. Please choose another email address.")},
      {staff_, "101=cy%40x.example&102=new%40y.example&103=new%40y.example", ErrorRow(kLChangeEmailNotAllowed)},
      {boss_, "101=nobody%40x.example&102=new%40y.example&103=new%40y.example", ErrorRow(kLChangeEmailNoUser)},
      {boss_, "101=staff%40x.example&102=CY%40x.example&103=CY%40x.example", ErrorRow(kLChangeEmailTaken)},
  };
  for (const Case& c : cases) EXPECT_TRUE(Contains(Change(c.session, c.fields), c.row)) << c.fields;
  EXPECT_EQ(UserText("staff@x.example", kKXUserName), "Staff");
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "staff@x.example,Boss@x.example");
  EXPECT_TRUE(KavrixFileExists(Archive("staff@xexample") + "/2026_leave.csv"));
}

TEST_F(ChangeEmailPageTest, OwnChangeRewritesEverythingAndEndsTheLogon) {
  LSettingSetString("Email", "ReplyToEmail", "Staff@x.example");
  LSettingSetString("Settings", "PrimaryUser", "boss@x.example");
  EXPECT_EQ(Change(staff_, "101=staff%40x.example&102=s.new%40y.example&103=s.new%40y.example&onok=logout"),
            Redirect("logout"));
  EXPECT_FALSE(KXUserExists("staff@x.example"));
  EXPECT_EQ(UserText("s.new@y.example", kKXUserName), "Staff");
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "s.new@y.example,Boss@x.example");
  EXPECT_EQ(KavrixReadFile(Archive("snew@yexample") + "/2026_leave.csv"), "row\r\n");
  EXPECT_FALSE(KavrixFileExists(Archive("staff@xexample")));
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail"), "s.new@y.example");
  EXPECT_EQ(LSettingGetString("Settings", "PrimaryUser"), "boss@x.example");
  // The session names an address nobody has any more.
  EXPECT_EQ(Get("mainpage", staff_), Redirect("logon"));
  EXPECT_FALSE(LogOn("s.new@y.example", "pw").empty());
}

TEST_F(ChangeEmailPageTest, AdministratorChangesAnotherUsersAddress) {
  EXPECT_EQ(Change(boss_, "101=staff%40x.example&102=sam%40x.example&103=sam%40x.example"), Redirect("userlist"));
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "sam@x.example,Boss@x.example");
  EXPECT_TRUE(KavrixFileExists(Archive("sam@xexample") + "/2026_leave.csv"));
  // Changing one's own address ends one's logon: the next post finds no
  // current user and is shown again without a change.
  EXPECT_EQ(Change(boss_, "101=Boss%40x.example&102=chief%40x.example&103=chief%40x.example"), Redirect("userlist"));
  EXPECT_EQ(UserText("cy@x.example", kKXUserManager), "sam@x.example,chief@x.example");
  const std::string after = Change(boss_, "101=cy%40x.example&102=cyrus%40x.example&103=cyrus%40x.example");
  EXPECT_EQ(HtmlPage(after).Field("101"), "cy@x.example");
  EXPECT_TRUE(KXUserExists("cy@x.example"));
}

}  // namespace
