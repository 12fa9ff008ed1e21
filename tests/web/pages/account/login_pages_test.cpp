// Logon, logout and passwords over real loopback HTTP: every message of the
// dialogs, the exact cookie redirect, the session files, and the password
// values stored in the user records.

#include "web/pages/account/login_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "web/pages/account/password_pages.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"

namespace {

class LoginPagesTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "secret"));
  }

  // Password, old password and reset request of ann, as stored.
  static std::string Passwords() {
    LKXUser user;
    if (!KXGetUser("ann@x.example", user)) return "<no user>";
    return user.GetText(kKXUserPassword) + "|" + user.GetText(kKXUserOldPassword) + "|" +
           user.GetText(kKXUserPasswordReq);
  }
  std::string ChangePassword(const std::string& session, const std::string& fields) {
    return Post("changepassword", fields + "&submit=++OK++", session);
  }
};

// The empty path is the same dialog, posting to its own URL; until the
// wizard has run, it is the wizard's first step.
TEST_F(LoginPagesTest, TheLogonDialogOrTheSetupWizardUntilItHasRun) {
  for (const char* path : {"logon", ""}) {
    SCOPED_TRACE(path);
    const HtmlPage page(Get(path));
    EXPECT_TRUE(Contains(page.Text(), "Logon Email: Password:")) << page.Text();
    EXPECT_EQ(page.Forms().at(0).action, path);
    EXPECT_EQ(page.Href("Forgot your password?"), "lostpassword");
  }
  // A password from a link never stands in the form.
  EXPECT_FALSE(Contains(Get("logon?101=ann%40x.example&102=pw&submit=Logon"), "value=\"pw\""));
  LSettingSetString("Settings", "SetupWizardRun", "");
  EXPECT_TRUE(Contains(Visible(Get("")), "Setup Wizard: Step 1 of 3"));
}

TEST_F(LoginPagesTest, EachRefusalOfTheLogonAndLostPasswordDialogsOnItsControl) {
  const struct {
    const char* path;
    std::string fields;
    std::string message;
  } cases[] = {
      {"logon", "101=+++&102=secret", kLLoginEnterEmail},
      {"logon", "101=ann%40x&102=secret", kLLoginInvalidEmail},
      {"logon", "101=ann%40x.example&102=+%09+", kLLoginEnterPassword},
      {"logon", "101=ann%40x.example&102=Secret", kLLoginFailed},
      {"logon", "101=nobody%40x.example&102=secret", kLLoginFailed},
      {"lostpassword", "101=", kLLostPasswordEnterEmail},
      {"lostpassword", "101=ann", kLLostPasswordInvalidEmail},
      {"lostpassword", "101=bob%40x.example", kLLostPasswordNoUser},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fields);
    const std::string submit = std::string(c.path) == "logon" ? "&submit=Logon" : "&submit=++OK++";
    const std::string page = Post(c.path, c.fields + submit);
    EXPECT_TRUE(Contains(page, ErrorRow(c.message)));
    EXPECT_FALSE(Contains(page, "Set-Cookie"));
  }
  // A refused logon keeps what was typed.
  EXPECT_EQ(HtmlPage(Post("logon", "101=ann%40x&102=secret&submit=Logon")).Field("101"), "ann@x");
  EXPECT_TRUE(KavrixFolderEntries(SharedFolder() + "/SessionData").empty());
  EXPECT_EQ(Passwords(), "secret||0");
}

TEST_F(LoginPagesTest, LogonSetsTheCookieAndStoresTheTrimmedAddress) {
  const std::string answer = Post("logon", "101=++Ann%40X.example%09&102=+secret+&submit=Logon");
  const std::string id = CookieSession(answer);
  ASSERT_EQ(id.substr(0, 1), "l") << answer;
  EXPECT_EQ(answer, "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + id +
                        "; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(KavrixReadFile(SessionFile(id)), "user=Ann%40X.example");
  // Pressing Enter posts no "submit", only the hidden copy of the label.
  EXPECT_FALSE(CookieSession(Post("logon", "101=ann%40x.example&102=secret&submitdef=Logon")).empty());
}

TEST_F(LoginPagesTest, LogoutDeletesAWebSessionOnceAndKeepsAStations) {
  const std::string id = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(id.empty());
  EXPECT_TRUE(Contains(Visible(Get("logout", id)), Visible(kLLogoutText)));
  EXPECT_FALSE(KavrixFileExists(SessionFile(id)));
  EXPECT_TRUE(Contains(Visible(Get("logout", id)), "Your session is expired."));
  ASSERT_TRUE(WriteSession("labcdefgh7", "stacon=1&user=ann%40x.example"));
  EXPECT_TRUE(Contains(Visible(Get("logout", "labcdefgh7")), Visible(kLLogoutText)));
  EXPECT_EQ(KavrixReadFile(SessionFile("labcdefgh7")), "stacon=1&user=ann%40x.example");
}

// A reset request keeps the user's own password as the old one; a second
// request must not put the issued password in its place; logging on with
// the old one cancels the reset.
TEST_F(LoginPagesTest, AResetLeadsBackToLogonAndTheOldPasswordStillLogsOnAndCancelsIt) {
  EXPECT_EQ(Post("lostpassword", "101=+ANN%40x.example+&submit=++OK++&onok=pwdsent"), Redirect("pwdsent"));
  EXPECT_EQ(Passwords(), "secret|secret|1");
  EXPECT_TRUE(Contains(Visible(Get("pwdsent")), kLPasswordSentText));
  EXPECT_EQ(Post("pwdsent", "submit=Return"), Redirect("logon"));
  LKXUser user;
  ASSERT_TRUE(KXGetUser("ann@x.example", user));
  ASSERT_TRUE(user.SetText(kKXUserPassword, "qwerty") && user.SetFlag(kKXUserPasswordReq, false));
  Post("lostpassword", "101=ann%40x.example&submit=++OK++");
  EXPECT_EQ(Passwords(), "qwerty|secret|1");
  EXPECT_FALSE(LogOn("ann@x.example", "secret").empty());
  EXPECT_EQ(Passwords(), "secret||0");
  EXPECT_TRUE(LogOn("ann@x.example", "qwerty").empty());
}

TEST_F(LoginPagesTest, ChangePasswordRefusalsThenTheNewOneReplacesTheOldForGood) {
  const std::string id = LogOn("ann@x.example", "secret");
  const std::string blanks =
      "The new password cannot begin or end with a blank, begin with &quot;=&quot; or hold a line break, please "
      "reenter.";
  const struct {
    std::string fields;
    std::string message;
  } cases[] = {
      {"101=secret+&102=a&103=a", kLOldPasswordWrong},      {"101=secret&102=&103=", kLNewPasswordBlank},
      {"101=secret&102=abc&103=abd", kLNewPasswordsDiffer}, {"101=secret&102=+abc&103=+abc", blanks},
      {"101=secret&102=%3Dabc&103=%3Dabc", blanks},
  };
  for (const auto& c : cases) EXPECT_TRUE(Contains(ChangePassword(id, c.fields), ErrorRow(c.message))) << c.fields;
  EXPECT_EQ(Passwords(), "secret||0");
  EXPECT_EQ(ChangePassword(id, "101=secret&102=new+pw&103=new+pw&onok=mainpage"), Redirect("mainpage"));
  EXPECT_EQ(Passwords(), "new pw||0");
  EXPECT_TRUE(LogOn("ann@x.example", "secret").empty());
}

// A new password ends the user's other web sessions, made before it by real
// logons; the session that changed it, a station's session and another
// user's session go on.
TEST_F(LoginPagesTest, ANewPasswordEndsTheUsersOtherSessions) {
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "", "bobpw"));
  const std::string own = LogOn("ann@x.example", "secret");
  const std::string earlier = LogOn("ann@x.example", "secret");
  const std::string bob = LogOn("bob@x.example", "bobpw");
  ASSERT_TRUE(WriteSession("lstationx1", "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
  ChangePassword(own, "101=secret&102=new&103=new");
  EXPECT_EQ(Passwords(), "new||0");
  EXPECT_TRUE(Contains(Get("mainpage", earlier), kLSessionExpiredText));
  EXPECT_FALSE(KavrixFileExists(SessionFile(earlier)));
  for (const std::string& kept : {own, bob}) EXPECT_FALSE(Contains(Get("mainpage", kept), kLSessionExpiredText));
  EXPECT_TRUE(KavrixFileExists(SessionFile("lstationx1")));
}

}  // namespace
