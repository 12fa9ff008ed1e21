// Logon, logout and passwords over real loopback HTTP: one refusal of each
// kind, the exact cookie redirect, the session files, and the password
// values stored in the user records. Then the dialogs under attack and on a
// full disk: guessing is slowed down while the right password still works,
// a server that cannot save says so, a form from another site is logged.

#include "web/pages/account/login_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "support/full_disk.h"
#include "support/log_reader.h"
#include "web/http/same_origin.h"
#include "web/pages/account/password_pages.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/session/logon_throttle.h"

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

TEST_F(LoginPagesTest, EachRefusalOfTheLogonAndLostPasswordDialogsOnItsControl) {
  const struct {
    const char* path;
    std::string fields, message;
  } cases[] = {
      {"logon", "101=+++&102=secret", kLLoginEnterEmail},
      {"logon", "101=ann%40x&102=secret", kLLoginInvalidEmail},
      {"logon", "101=ann%40x.example&102=Secret", kLLoginFailed},
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
  // A refused logon keeps what was typed; a password from a link never
  // stands in the form.
  EXPECT_EQ(HtmlPage(Post("logon", "101=ann%40x&102=secret&submit=Logon")).Field("101"), "ann@x");
  EXPECT_FALSE(Contains(Get("logon?101=ann%40x.example&102=secret&submit=Logon"), "value=\"secret\""));
  EXPECT_TRUE(KavrixFolderEntries(SharedFolder() + "/SessionData").empty());
  EXPECT_EQ(Passwords(), "secret||0");
}

TEST_F(LoginPagesTest, LogonSetsTheCookieAndLogoutEndsTheWebSessionOnly) {
  const std::string answer = Post("logon", "101=++Ann%40X.example%09&102=+secret+&submit=Logon");
  const std::string id = CookieSession(answer);
  ASSERT_EQ(id.substr(0, 1), "l") << answer;
  EXPECT_EQ(answer, "HTTP/1.0 302 OK\r\nSet-Cookie: sess=" + id +
                        "; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(KavrixReadFile(SessionFile(id)), "user=Ann%40X.example");

  // Logout deletes a web session once and keeps a station's.
  EXPECT_TRUE(Contains(Visible(Get("logout", id)), Visible(kLLogoutText)));
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
  LKXUser user;
  ASSERT_TRUE(KXGetUser("ann@x.example", user));
  ASSERT_TRUE(user.SetText(kKXUserPassword, "qwerty") && user.SetFlag(kKXUserPasswordReq, false));
  Post("lostpassword", "101=ann%40x.example&submit=++OK++");
  EXPECT_EQ(Passwords(), "qwerty|secret|1");
  EXPECT_FALSE(LogOn("ann@x.example", "secret").empty());
  EXPECT_EQ(Passwords(), "secret||0");
  EXPECT_TRUE(LogOn("ann@x.example", "qwerty").empty());
}

TEST_F(LoginPagesTest, ChangePasswordRefusalsThenTheNewOneReplacesTheOldAndEndsOtherSessions) {
  const std::string id = LogOn("ann@x.example", "secret");
  const std::string blanks =
      "The new password cannot begin or end with a blank, begin with &quot;=&quot; or hold a line break, please "
      "reenter.";
  const struct {
    std::string fields, message;
  } cases[] = {
      {"101=secret+&102=a&103=a", kLOldPasswordWrong},      {"101=secret&102=&103=", kLNewPasswordBlank},
      {"101=secret&102=abc&103=abd", kLNewPasswordsDiffer}, {"101=secret&102=+abc&103=+abc", blanks},
  };
  for (const auto& c : cases) EXPECT_TRUE(Contains(ChangePassword(id, c.fields), ErrorRow(c.message))) << c.fields;
  EXPECT_EQ(Passwords(), "secret||0");

  // The new password ends the user's other web sessions; the session that
  // changed it goes on.
  const std::string earlier = LogOn("ann@x.example", "secret");
  EXPECT_EQ(ChangePassword(id, "101=secret&102=new+pw&103=new+pw&onok=mainpage"), Redirect("mainpage"));
  EXPECT_EQ(Passwords(), "new pw||0");
  EXPECT_TRUE(LogOn("ann@x.example", "secret").empty());
  EXPECT_TRUE(Contains(Get("mainpage", earlier), kLSessionExpiredText));
  EXPECT_FALSE(KavrixFileExists(SessionFile(earlier)));
  EXPECT_FALSE(Contains(Get("mainpage", id), kLSessionExpiredText));
}

// The seconds the throttle waited, recorded instead of spent: the fake clock
// moves on by each wait, as the real one would have.
std::atomic<int> gWaited{0};

class LogonHardeningTest : public LoginPagesTest {
 protected:
  void SetUp() override {
    LoginPagesTest::SetUp();
    LDateTime::SetFakeNow(1773144000);  // 2026-03-10 12:00:00 UTC
    KXSetLogonWaitFunction([](LThread*, int seconds) {
      gWaited += seconds;
      LDateTime::SetFakeNow(LDateTime::Now().value + seconds);
      return true;
    });
  }
  void TearDown() override {
    KXSetLogonWaitFunction(nullptr);
    LDateTime::ClearFakeNow();
    LoginPagesTest::TearDown();
  }

  std::string Logon(const std::string& password) {
    return Post("logon", "101=ann%40x.example&102=" + password + "&submit=Logon");
  }
  std::string RecordFolder() const {
    LKXUser user;
    return KXGetUser("ann@x.example", user) ? std::filesystem::path(user.GetPath()).parent_path().string() : "";
  }
  // A change of the password from "secret" to "fresh" with extra header lines.
  std::string ChangeWithHeaders(const std::string& session, const std::string& headers) {
    const std::string body = "101=secret&102=fresh&103=fresh&submit=++OK++";
    return Exchange("POST /changepassword HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(Port()) +
                    "\r\nCookie: sess=" + session + "\r\n" + headers +
                    "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  // Whether a log line reads `message`, or only begins and ends as given.
  static bool Logged(const std::string& message, const std::string& ending = "") {
    return std::ranges::any_of(KavrixLogMessages(), [&](const std::string& line) {
      if (ending.empty()) return line == message;
      return line.starts_with(message) && line.size() > ending.size() + message.size() && line.ends_with(ending);
    });
  }
};

TEST_F(LogonHardeningTest, TheTwentiethWrongPasswordWaitsAndTheRightOneStillWorks) {
  for (int attempt = 1; attempt < 20; ++attempt) {
    ASSERT_TRUE(Contains(Logon("guess" + std::to_string(attempt)), ErrorRow(kLLoginFailed))) << attempt;
  }
  gWaited = 0;
  EXPECT_TRUE(Contains(Logon("guess20"), ErrorRow(kLLoginFailed)));
  EXPECT_EQ(gWaited.load(), kLKXLogonMaxDelaySeconds);
  // The right password still works (its turn came while the last failure
  // waited).
  EXPECT_FALSE(LogOn("ann@x.example", "secret").empty());
}

TEST_F(LogonHardeningTest, ALogonWhoseSessionCannotBeSavedSaysSoAndLeavesNoSessionFile) {
  const std::string folder = SharedFolder() + "/SessionData";
  KavrixFullDisk disk;
  KAVRIX_FULL_DISK_OR_SKIP(disk, folder);
  const std::string page = Logon("secret");
  EXPECT_TRUE(Contains(page, ErrorRow(kLLoginNoSession))) << page;
  EXPECT_FALSE(Contains(page, "Set-Cookie"));
  EXPECT_EQ(KavrixFolderEntries(folder), std::vector<std::string>{"~filler"});
  EXPECT_TRUE(Logged("Logon of ann@x.example refused: the session could not be saved."));
}

TEST_F(LogonHardeningTest, APasswordChangeThatCannotBeSavedSaysSoAndKeepsTheOldPassword) {
  const std::string session = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(session.empty());
  KavrixFullDisk disk;
  KAVRIX_FULL_DISK_OR_SKIP(disk, RecordFolder());
  EXPECT_TRUE(Contains(ChangeWithHeaders(session, ""), ErrorRow(kLNewPasswordNotSaved)));
  EXPECT_EQ(Passwords(), "secret||0");
  EXPECT_TRUE(Logged("The new password of ann@x.example could not be saved."));
}

// The refusal itself is the dialogs' (web_dialog_test); here, that it is
// logged with the Origin named, and that this server's own Origin passes.
TEST_F(LogonHardeningTest, APostFromAnotherSiteIsRefusedAndLoggedOneFromThisServerWorks) {
  const std::string session = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(session.empty());
  EXPECT_EQ(ChangeWithHeaders(session, "Origin: http://evil.example\r\n"), kLHttpForeignOriginRefused);
  EXPECT_EQ(Passwords(), "secret||0");
  EXPECT_TRUE(Logged("Refused a form for \"changepassword\" from 127.0.0.1:",
                     ": its Origin \"http://evil.example\" is not this server (\"127.0.0.1:" + std::to_string(Port()) +
                         "\")."));
  EXPECT_EQ(ChangeWithHeaders(session, "Origin: http://127.0.0.1:" + std::to_string(Port()) + "\r\n"),
            Redirect("mainpage"));
  EXPECT_EQ(Passwords(), "fresh||0");
}

}  // namespace
