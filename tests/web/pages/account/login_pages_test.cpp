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

  static std::string UserText(const LKXUserKey& key) {
    LKXUser user;
    return KXGetUser("ann@x.example", user) ? user.GetText(key) : "<no user>";
  }
  std::string ChangePassword(const std::string& session, const std::string& fields) {
    return Post("changepassword", fields + "&submit=++OK++", session);
  }
};

TEST_F(LoginPagesTest, TheLogonDialogOrTheSetupWizardUntilItHasRun) {
  // The empty path is the same dialog, posting to its own URL.
  for (const char* path : {"logon", ""}) {
    SCOPED_TRACE(path);
    const std::string answer = Get(path);
    const HtmlPage page(answer);
    EXPECT_TRUE(Contains(page.Text(), "Logon Email: Password:")) << page.Text();
    EXPECT_EQ(page.Forms().at(0).action, path);
    EXPECT_EQ(page.Forms().at(0).method, "post");
    EXPECT_EQ(page.Field("101"), "");
    EXPECT_EQ(page.Field("102"), "");
    EXPECT_EQ(page.Href("Forgot your password?"), "lostpassword");
    EXPECT_TRUE(Contains(answer, "value=\"Logon\""));
    EXPECT_FALSE(Contains(answer, "value=\"Cancel\""));
    EXPECT_TRUE(Contains(answer, "href=\"help/login.html\""));
    for (const char* value : {"", "1", "yes"}) {
      LSettingSetString("Settings", "SetupWizardRun", value);
      const std::string wizard = Visible(Get(path));
      EXPECT_TRUE(Contains(wizard, "Setup Wizard: Step 1 of 3")) << value;
      EXPECT_FALSE(Contains(wizard, "Forgot your password?")) << value;
    }
    LSettingSetString("Settings", "SetupWizardRun", "0 done");
  }
}

TEST_F(LoginPagesTest, EachRefusalOfTheLogonAndLostPasswordDialogsOnItsControl) {
  struct Case {
    const char* path;
    std::string fields;
    std::string message;
  };
  const Case cases[] = {
      {"logon", "101=+++&102=secret", kLLoginEnterEmail},
      {"logon", "101=ann%40x&102=secret", kLLoginInvalidEmail},
      {"logon", "101=ann%40x.example&102=+%09+", kLLoginEnterPassword},
      {"logon", "101=ann%40x.example&102=Secret", kLLoginFailed},
      {"logon", "101=nobody%40x.example&102=secret", kLLoginFailed},
      {"lostpassword", "101=", kLLostPasswordEnterEmail},
      {"lostpassword", "101=ann", kLLostPasswordInvalidEmail},
      {"lostpassword", "101=bob%40x.example", kLLostPasswordNoUser},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    const std::string submit = std::string(c.path) == "logon" ? "&submit=Logon" : "&submit=++OK++";
    const std::string page = Post(c.path, c.fields + submit);
    EXPECT_TRUE(Contains(page, ErrorRow(c.message)));
    EXPECT_FALSE(Contains(page, "Set-Cookie"));
  }
  // A refused logon keeps what was typed.
  EXPECT_EQ(HtmlPage(Post("logon", "101=ann%40x&102=secret&submit=Logon")).Field("101"), "ann@x");
  EXPECT_TRUE(KavrixFolderEntries(SharedFolder() + "/SessionData").empty());
  EXPECT_EQ(UserText(kKXUserPasswordReq), "0");
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
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/SessionData").size(), 2u);
}

TEST_F(LoginPagesTest, LogoutDeletesAWebSessionOnceAndKeepsAStations) {
  const std::string id = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(id.empty());
  const std::string page = Get("logout", id);
  EXPECT_TRUE(Contains(Visible(page), Visible(kLLogoutText)));
  EXPECT_FALSE(Contains(page, "class=toptext"));
  EXPECT_FALSE(KavrixFileExists(SessionFile(id)));
  for (const std::string& gone : {id, std::string()}) {
    const std::string again = Visible(Get("logout", gone));
    EXPECT_TRUE(Contains(again, "Your session is expired."));
    EXPECT_FALSE(Contains(again, Visible(kLLogoutText)));
  }
  ASSERT_TRUE(WriteSession("labcdefgh7", "stacon=1&user=ann%40x.example"));
  EXPECT_TRUE(Contains(Visible(Get("logout", "labcdefgh7")), Visible(kLLogoutText)));
  EXPECT_EQ(KavrixReadFile(SessionFile("labcdefgh7")), "stacon=1&user=ann%40x.example");
}

TEST_F(LoginPagesTest, AResetLeadsBackToLogonAndTheOldPasswordStillLogsOnAndCancelsIt) {
  const HtmlPage first(Get("lostpassword"));
  EXPECT_TRUE(Contains(first.Text(), "Retrieve Password"));
  EXPECT_TRUE(Contains(first.Text(), kLLostPasswordPrompt));
  EXPECT_EQ(first.Field("onok"), "pwdsent");
  EXPECT_EQ(first.Field("oncancel"), "logon");
  EXPECT_EQ(Post("lostpassword", "101=&submit=Cancel&oncancel=logon"), Redirect("logon"));
  EXPECT_EQ(Post("lostpassword", "101=+ANN%40x.example+&submit=++OK++&onok=pwdsent"), Redirect("pwdsent"));
  EXPECT_EQ(UserText(kKXUserOldPassword), "secret");
  EXPECT_EQ(UserText(kKXUserPasswordReq), "1");
  const std::string sent = Get("pwdsent");
  EXPECT_TRUE(Contains(Visible(sent), kLPasswordSentText));
  EXPECT_EQ(HtmlPage(sent).Field("onok"), "logon");
  EXPECT_EQ(Post("pwdsent", "submit=Return"), Redirect("logon"));
  // The mail thread issues the new password (as it would); a second request
  // must not put the issued password in the place of the user's own.
  LKXUser user;
  ASSERT_TRUE(KXGetUser("ann@x.example", user));
  ASSERT_TRUE(user.SetText(kKXUserPassword, "qwerty"));
  ASSERT_TRUE(user.SetFlag(kKXUserPasswordReq, false));
  Post("lostpassword", "101=ann%40x.example&submit=++OK++");
  EXPECT_EQ(UserText(kKXUserOldPassword), "secret");

  EXPECT_FALSE(LogOn("ann@x.example", "secret").empty());
  EXPECT_EQ(UserText(kKXUserPassword), "secret");
  EXPECT_EQ(UserText(kKXUserOldPassword), "");
  EXPECT_EQ(UserText(kKXUserPasswordReq), "0");
  EXPECT_TRUE(LogOn("ann@x.example", "qwerty").empty());
}

TEST_F(LoginPagesTest, ChangePasswordRefusalsThenTheNewOneReplacesTheOldForGood) {
  const std::string id = LogOn("ann@x.example", "secret");
  const HtmlPage first(Get("changepassword", id));
  EXPECT_TRUE(Contains(first.Text(), "Change Password"));
  for (const char* name : {"101", "102", "103"}) EXPECT_EQ(first.ByName(name)->Attribute("type"), "password") << name;
  const std::string blanks =
      "The new password cannot begin or end with a blank, begin with &quot;=&quot; or hold a line break, please "
      "reenter.";
  struct Case {
    std::string fields;
    std::string message;
  };
  const Case cases[] = {
      {"101=secret+&102=a&103=a", kLOldPasswordWrong},    {"101=secret&102=&103=", kLNewPasswordBlank},
      {"101=secret&102=abc&103=abd", kLNewPasswordsDiffer}, {"101=secret&102=+abc&103=+abc", blanks},
      {"101=secret&102=%3Dabc&103=%3Dabc", blanks},
  };
  for (const Case& c : cases) EXPECT_TRUE(Contains(ChangePassword(id, c.fields), ErrorRow(c.message))) << c.fields;
  EXPECT_EQ(UserText(kKXUserPassword), "secret");
  // Without a session: the dialog again, silently.
  const std::string anonymous = ChangePassword("", "101=secret&102=new&103=new");
  EXPECT_TRUE(Contains(Visible(anonymous), "Change Password"));
  EXPECT_FALSE(Contains(anonymous, "#a00000"));

  EXPECT_EQ(ChangePassword(id, "101=secret&102=new+pw&103=new+pw&onok=mainpage"), Redirect("mainpage"));
  EXPECT_EQ(UserText(kKXUserPassword), "new pw");
  EXPECT_EQ(UserText(kKXUserOldPassword), "");
  EXPECT_TRUE(LogOn("ann@x.example", "secret").empty());
  EXPECT_FALSE(LogOn("ann@x.example", "new pw").empty());
  EXPECT_EQ(UserText(kKXUserPassword), "new pw");
  // Once the user is gone: silently again.
  ASSERT_TRUE(KXDeleteUser("ann@x.example"));
  EXPECT_FALSE(Contains(ChangePassword(id, "101=new+pw&102=x&103=x"), "#a00000"));
}

// A new password ends the user's other web sessions, made before it by real
// logons; the session that changed it, a station's session and another
// user's session go on.
TEST_F(LoginPagesTest, ANewPasswordEndsTheUsersOtherSessions) {
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "", "bobpw"));
  for (const bool byItsUser : {true, false}) {
    SCOPED_TRACE(byItsUser ? "by its user" : "by a reset password's first logon");
    LKXUser ann;
    ASSERT_TRUE(KXGetUser("ann@x.example", ann) && ann.SetText(kKXUserPassword, "secret"));
    const std::string own = LogOn("ann@x.example", "secret");
    const std::string earlier = LogOn("ann@x.example", "secret");
    const std::string bob = LogOn("bob@x.example", "bobpw");
    ASSERT_TRUE(WriteSession("lstationx1", "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
    std::string changer = own;
    if (byItsUser) {
      ChangePassword(own, "101=secret&102=new&103=new");
    } else {
      ASSERT_TRUE(ann.SetText(kKXUserOldPassword, "secret") && ann.SetText(kKXUserPassword, "new"));
      changer = LogOn("ann@x.example", "new");
    }
    ASSERT_FALSE(changer.empty());
    EXPECT_EQ(UserText(kKXUserPassword), "new");
    EXPECT_TRUE(Contains(Get("mainpage", earlier), kLSessionExpiredText));
    EXPECT_FALSE(KavrixFileExists(SessionFile(earlier)));
    for (const std::string& kept : {changer, bob}) EXPECT_FALSE(Contains(Get("mainpage", kept), kLSessionExpiredText));
    EXPECT_TRUE(KavrixFileExists(SessionFile("lstationx1")));
  }
}

}  // namespace
