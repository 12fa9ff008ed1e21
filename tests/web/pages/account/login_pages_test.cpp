// Logon, logout and passwords over real loopback HTTP: every message of the
// dialogs, the exact cookie redirect, the session files, and the password
// values stored in the user records.

#include "web/pages/account/login_pages.h"
#include "web/panel/access_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "web/pages/account/password_pages.h"
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

  std::string LogonPost(const std::string& fields) { return Post("logon", fields + "&submit=Logon"); }
  std::string ChangePassword(const std::string& session, const std::string& fields) {
    return Post("changepassword", fields + "&submit=++OK++", session);
  }
};

TEST_F(LoginPagesTest, FirstDisplayOfTheLogonDialog) {
  const std::string page = Get("logon");
  EXPECT_TRUE(Contains(page, "<b>Logon</b>"));
  EXPECT_TRUE(Contains(page, "Email:</td><td><input name=101 type=text value=\"\""));
  EXPECT_TRUE(Contains(page, "Password:</td><td><input name=102 type=password value=\"\""));
  EXPECT_TRUE(Contains(page, "href=\"lostpassword\""));
  EXPECT_TRUE(Contains(page, ">Forgot your password?</a>"));
  EXPECT_TRUE(Contains(page, "value=\"Logon\""));
  EXPECT_FALSE(Contains(page, "value=\"Cancel\""));
  EXPECT_TRUE(Contains(page, "href=\"help/login.html\" class=toptext target=_blank"));
  // The empty path is the same dialog, posting to its own URL.
  const std::string root = Get("");
  EXPECT_TRUE(Contains(root, "<b>Logon</b>"));
  EXPECT_TRUE(Contains(root, "<form action=\"\" method=post>"));
}

TEST_F(LoginPagesTest, SetupWizardInsteadOfLogonUntilItHasRun) {
  for (const char* value : {"", "1", "yes"}) {
    LSettingSetString("Settings", "SetupWizardRun", value);
    for (const char* path : {"logon", ""}) {
      const std::string page = Get(path);
      EXPECT_TRUE(Contains(page, "Setup Wizard: Step 1 of 3")) << value << " " << path;
      EXPECT_FALSE(Contains(page, "Forgot your password?")) << value << " " << path;
    }
  }
  LSettingSetString("Settings", "SetupWizardRun", "0 done");
  EXPECT_TRUE(Contains(Get("logon"), "Forgot your password?"));
}

TEST_F(LoginPagesTest, EachLogonRefusalOnItsControl) {
  struct Case {
    std::string fields;
    std::string message;
  };
  const Case cases[] = {
      {"101=+++&102=secret", kLLoginEnterEmail},
      {"101=ann%40x&102=secret", kLLoginInvalidEmail},
      {"101=ann%40x.example&102=+%09+", kLLoginEnterPassword},
      {"101=ann%40x.example&102=Secret", kLLoginFailed},
      {"101=nobody%40x.example&102=secret", kLLoginFailed},
  };
  for (const Case& c : cases) {
    const std::string page = LogonPost(c.fields);
    EXPECT_TRUE(Contains(page, ErrorRow(c.message))) << c.fields;
    EXPECT_FALSE(Contains(page, "Set-Cookie")) << c.fields;
  }
  // A refused logon keeps what was typed.
  EXPECT_TRUE(Contains(LogonPost("101=ann%40x&102=secret"), "value=\"ann@x\""));
  EXPECT_TRUE(KavrixFolderEntries(SharedFolder() + "/SessionData").empty());
}

TEST_F(LoginPagesTest, LogonSetsTheCookieAndStoresTheTrimmedAddress) {
  const std::string answer = LogonPost("101=++Ann%40X.example%09&102=+secret+");
  ASSERT_EQ(answer.substr(0, 35), "HTTP/1.0 302 OK\r\nSet-Cookie: sess=l");
  const std::string id = answer.substr(34, answer.find(';') - 34);
  EXPECT_EQ(answer, "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + id +
                        "; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(KavrixReadFile(SessionFile(id)), "user=Ann%40X.example");
  // Pressing Enter posts no "submit", only the hidden copy of the label.
  const std::string second = Post("logon", "101=ann%40x.example&102=secret&submitdef=Logon");
  EXPECT_TRUE(Contains(second,
                       "; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\n"
                       "X-Content-Type-Options: nosniff\r\n\r\n"));
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/SessionData").size(), 2u);
}

TEST_F(LoginPagesTest, LogoutDeletesTheSessionOnceThenTheSessionIsExpired) {
  const std::string id = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(id.empty());
  const std::string page = Get("logout", id);
  EXPECT_TRUE(Contains(Body(page), kLLogoutText));
  EXPECT_FALSE(Contains(page, "class=toptext"));
  EXPECT_FALSE(KavrixFileExists(SessionFile(id)));
  const std::string again = Get("logout", id);
  EXPECT_TRUE(Contains(again, "Your session is expired."));
  EXPECT_FALSE(Contains(again, kLLogoutText));
  EXPECT_TRUE(Contains(Get("logout"), "Your session is expired."));
}

TEST_F(LoginPagesTest, LogoutKeepsTheSessionOfAStation) {
  const std::string id = "labcdefgh7";
  ASSERT_TRUE(WriteSession(id, "stacon=1&user=ann%40x.example"));
  EXPECT_TRUE(Contains(Body(Get("logout", id)), kLLogoutText));
  EXPECT_EQ(KavrixReadFile(SessionFile(id)), "stacon=1&user=ann%40x.example");
}

TEST_F(LoginPagesTest, LostPasswordRefusals) {
  const std::string first = Get("lostpassword");
  EXPECT_TRUE(Contains(first, "<b>Retrieve Password</b>"));
  EXPECT_TRUE(Contains(first, kLLostPasswordPrompt));
  EXPECT_TRUE(Contains(first, "<input type=hidden name=onok value=\"pwdsent\">"));
  EXPECT_TRUE(Contains(first, "<input type=hidden name=oncancel value=\"logon\">"));
  EXPECT_TRUE(Contains(Post("lostpassword", "101=&submit=++OK++"), ErrorRow(kLLostPasswordEnterEmail)));
  EXPECT_TRUE(Contains(Post("lostpassword", "101=ann&submit=++OK++"), ErrorRow(kLLostPasswordInvalidEmail)));
  EXPECT_TRUE(Contains(Post("lostpassword", "101=bob%40x.example&submit=++OK++"), ErrorRow(kLLostPasswordNoUser)));
  EXPECT_EQ(UserText(kKXUserPasswordReq), "0");
  EXPECT_EQ(Post("lostpassword", "101=&submit=Cancel&oncancel=logon"),
            "HTTP/1.0 302 OK\r\nLocation: logon\r\n"
            "X-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(LoginPagesTest, AfterAResetTheOldPasswordStillLogsOnAndCancelsIt) {
  EXPECT_EQ(Post("lostpassword", "101=+ANN%40x.example+&submit=++OK++&onok=pwdsent"), Redirect("pwdsent"));
  EXPECT_EQ(UserText(kKXUserOldPassword), "secret");
  EXPECT_EQ(UserText(kKXUserPasswordReq), "1");
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

TEST_F(LoginPagesTest, PasswordSentNoticeLeadsBackToLogon) {
  const std::string page = Get("pwdsent");
  EXPECT_TRUE(Contains(page, kLPasswordSentText));
  EXPECT_TRUE(Contains(page, "value=\"Return\""));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=onok value=\"logon\">"));
  EXPECT_EQ(Post("pwdsent", "submit=Return"),
            "HTTP/1.0 302 OK\r\nLocation: logon\r\n"
            "X-Content-Type-Options: nosniff\r\n\r\n");
}

TEST_F(LoginPagesTest, ChangePasswordRefusals) {
  const std::string id = LogOn("ann@x.example", "secret");
  const std::string first = Get("changepassword", id);
  EXPECT_TRUE(Contains(first, "<b>Change Password</b>"));
  EXPECT_TRUE(Contains(first, "Confirm New Password:</td><td><input name=103 type=password"));
  struct Case {
    std::string fields;
    std::string row;
  };
  const Case cases[] = {
      {"101=secret+&102=a&103=a", ErrorRow(kLOldPasswordWrong)},
      {"101=secret&102=&103=", ErrorRow(kLNewPasswordBlank)},
      {"101=secret&102=abc&103=abd", ErrorRow(kLNewPasswordsDiffer)},
      {"101=secret&102=+abc&103=+abc", ErrorRow("The new password cannot begin or end with a blank, begin "
                                                "with &quot;=&quot; or hold a line break, please reenter.")},
      {"101=secret&102=%3Dabc&103=%3Dabc", ErrorRow("The new password cannot begin or end with a blank, begin "
                                                    "with &quot;=&quot; or hold a line break, please reenter.")},
  };
  for (const Case& c : cases) EXPECT_TRUE(Contains(ChangePassword(id, c.fields), c.row)) << c.fields;
  EXPECT_EQ(UserText(kKXUserPassword), "secret");

  // Without a session, or once the user is gone: the dialog again, silently.
  const std::string anonymous = ChangePassword("", "101=secret&102=new&103=new");
  EXPECT_TRUE(Contains(anonymous, "<b>Change Password</b>"));
  EXPECT_FALSE(Contains(anonymous, "#a00000"));
  ASSERT_TRUE(KXDeleteUser("ann@x.example"));
  EXPECT_FALSE(Contains(ChangePassword(id, "101=secret&102=new&103=new"), "#a00000"));
}

TEST_F(LoginPagesTest, ChangedPasswordReplacesTheOldOneForGood) {
  const std::string id = LogOn("ann@x.example", "secret");
  EXPECT_EQ(ChangePassword(id, "101=secret&102=new+pw&103=new+pw&onok=mainpage"), Redirect("mainpage"));
  EXPECT_EQ(UserText(kKXUserPassword), "new pw");
  EXPECT_EQ(UserText(kKXUserOldPassword), "");
  EXPECT_TRUE(LogOn("ann@x.example", "secret").empty());
  EXPECT_FALSE(LogOn("ann@x.example", "new pw").empty());
  EXPECT_EQ(UserText(kKXUserPassword), "new pw");
}

// A new password ends the user's other web sessions, made before it by real
// logons; the session that changed it, a station's session and another
// user's session go on.
TEST_F(LoginPagesTest, ANewPasswordEndsTheUsersOtherSessions) {
  ASSERT_TRUE(KXAddUser("bob@x.example", "Bob", false, false, "", "", "bobpw"));
  const char* const kChanges[] = {"by its user", "by a reset password's first logon"};
  for (const std::string how : kChanges) {
    LKXUser ann;
    ASSERT_TRUE(KXGetUser("ann@x.example", ann) && ann.SetText(kKXUserPassword, "secret"));
    const std::string own = LogOn("ann@x.example", "secret");
    const std::string earlier = LogOn("ann@x.example", "secret");
    const std::string bob = LogOn("bob@x.example", "bobpw");
    ASSERT_TRUE(WriteSession("lstationx1", "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
    std::string changer = own;
    if (how == "by its user") {
      ChangePassword(own, "101=secret&102=new&103=new");
    } else {
      ASSERT_TRUE(ann.SetText(kKXUserOldPassword, "secret") && ann.SetText(kKXUserPassword, "new"));
      changer = LogOn("ann@x.example", "new");
    }
    ASSERT_FALSE(changer.empty()) << how;
    EXPECT_EQ(UserText(kKXUserPassword), "new") << how;
    EXPECT_TRUE(Contains(Get("mainpage", earlier), kLSessionExpiredText)) << how;
    EXPECT_FALSE(KavrixFileExists(SessionFile(earlier))) << how;
    for (const std::string& kept : {changer, bob}) {
      EXPECT_FALSE(Contains(Get("mainpage", kept), kLSessionExpiredText)) << how;
    }
    EXPECT_TRUE(KavrixFileExists(SessionFile("lstationx1"))) << how;
  }
}

}  // namespace
