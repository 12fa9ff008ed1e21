// The change-e-mail dialog over real loopback HTTP: one refusal of each
// kind, and what a change rewrites beyond the user record.

#include "web/pages/account/change_email_page.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/users.h"

namespace {

using ChangeEmailPageTest = OfficeTest;

std::string Fields(const std::string& from, const std::string& to, const std::string& confirm) {
  return "101=" + from + "&102=" + to + "&103=" + confirm + "&submit=++OK++";
}

TEST_F(ChangeEmailPageTest, EachRefusalOnItsControl) {
  const struct {
    const char* who;
    std::string fields, message;
  } cases[] = {
      {"staff", Fields("staff%40x.example", "", ""), kLChangeEmailEnter},
      {"staff", Fields("staff%40x.example", "new%40y", "new%40y"), kLChangeEmailInvalid},
      {"staff", Fields("staff%40x.example", "new%40y.example", "New%40y.example"), kLChangeEmailDiffer},
      {"staff", Fields("staff2%40x.example", "new%40y.example", "new%40y.example"), kLChangeEmailNotAllowed},
      {"boss", Fields("staff%40x.example", "STAFF2%40x.example", "STAFF2%40x.example"), kLChangeEmailTaken},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fields);
    EXPECT_TRUE(Contains(Post("changeemail", c.fields, Session(c.who)), ErrorRow(c.message)));
  }
  EXPECT_TRUE(KXUserExists(Email("staff")) && KXUserExists(Email("staff2")));
}

// The settings naming the address follow it; one's own change ends one's
// logon, not the administrator's who changes another's.
TEST_F(ChangeEmailPageTest, AChangeRewritesTheSettingsAndEndsOnlyTheChangersLogon) {
  LSettingSetString("Email", "ReplyToEmail", "Staff@x.example");
  LSettingSetString("Settings", "PrimaryUser", "boss@x.example");
  EXPECT_EQ(Post("changeemail", Fields("staff%40x.example", "s.new%40y.example", "s.new%40y.example") + "&onok=logout",
                 Session("staff")),
            Redirect("logout"));
  EXPECT_EQ(LSettingGetString("Email", "ReplyToEmail") + "|" + LSettingGetString("Settings", "PrimaryUser"),
            "s.new@y.example|boss@x.example");
  EXPECT_EQ(Get("mainpage", Session("staff")), Redirect("logon"));
  EXPECT_FALSE(LogOn("s.new@y.example", "pw").empty());

  EXPECT_EQ(Post("changeemail", Fields("staff2%40x.example", "sam%40x.example", "sam%40x.example"), Session("boss")),
            Redirect("userlist"));
  EXPECT_TRUE(KXUserExists("sam@x.example"));
  EXPECT_NE(Get("mainpage", Session("boss")), Redirect("logon"));
}

}  // namespace
