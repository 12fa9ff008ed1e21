// The logon and password dialogs under attack and on a full disk: guessing
// is slowed down while the right password still works; a server that cannot
// save says so; forms posted from another site are refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/users.h"
#include "panel_fixture.h"
#include "support/full_disk.h"
#include "support/log_reader.h"
#include "web/http/same_origin.h"
#include "web/pages/account/login_pages.h"
#include "web/pages/account/password_pages.h"
#include "web/session/logon_throttle.h"

namespace {

constexpr std::int32_t kNow = 1773144000;  // 2026-03-10 12:00:00 UTC

// The waits of the throttle, recorded instead of spent: the fake clock moves
// on by each, as the real one would have.
std::mutex gWaitsMutex;  // guards gWaits
std::vector<int> gWaits;

bool RecordWait(LThread*, int seconds) {
  std::lock_guard<std::mutex> lock(gWaitsMutex);
  gWaits.push_back(seconds);
  LDateTime::SetFakeNow(LDateTime::Now().value + seconds);
  return true;
}

std::vector<int> TakeWaits() {
  std::lock_guard<std::mutex> lock(gWaitsMutex);
  return std::exchange(gWaits, {});
}

class LogonHardeningTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    LDateTime::SetFakeNow(kNow);
    KXSetLogonWaitFunction(&RecordWait);
    TakeWaits();
    ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "secret"));
  }
  void TearDown() override {
    KXSetLogonWaitFunction(nullptr);
    PanelTest::TearDown();
  }

  std::string Logon(const std::string& password) { return Exchange(LogonRequest(password)); }
  static std::string LogonRequest(const std::string& password) {
    const std::string body = "101=ann%40x.example&102=" + password + "&submit=Logon";
    return "POST /logon HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }
  std::string RecordFolder() const {
    LKXUser user;
    return KXGetUser("ann@x.example", user) ? std::filesystem::path(user.GetPath()).parent_path().string() : "";
  }
  // A change of the password from "secret" to "fresh" with extra header lines.
  std::string ChangePassword(const std::string& session, const std::string& headers) {
    const std::string body = "101=secret&102=fresh&103=fresh&submit=++OK++";
    return Exchange("POST /changepassword HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(Port()) + "\r\nCookie: sess=" +
                    session + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  static std::string Password() {
    LKXUser user;
    return KXGetUser("ann@x.example", user) ? user.GetText(kKXUserPassword) : "<no user>";
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
  TakeWaits();
  EXPECT_TRUE(Contains(Logon("guess20"), ErrorRow(kLLoginFailed)));
  EXPECT_EQ(TakeWaits(), std::vector<int>{kLKXLogonMaxDelaySeconds});
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
  EXPECT_TRUE(Contains(ChangePassword(session, ""), ErrorRow(kLNewPasswordNotSaved)));
  EXPECT_EQ(Password(), "secret");
  EXPECT_TRUE(Logged("The new password of ann@x.example could not be saved."));
}

// The refusal itself is the dialogs' (web_dialog_test); here, that it is
// logged with the Origin named, and that this server's own Origin passes.
TEST_F(LogonHardeningTest, APostFromAnotherSiteIsRefusedAndLoggedOneFromThisServerWorks) {
  const std::string session = LogOn("ann@x.example", "secret");
  ASSERT_FALSE(session.empty());
  EXPECT_EQ(ChangePassword(session, "Origin: http://evil.example\r\n"), kLHttpForeignOriginRefused);
  EXPECT_EQ(Password(), "secret");
  EXPECT_TRUE(Logged("Refused a form for \"changepassword\" from 127.0.0.1:",
                     ": its Origin \"http://evil.example\" is not this server (\"127.0.0.1:" + std::to_string(Port()) +
                         "\")."));
  EXPECT_EQ(ChangePassword(session, "Origin: http://127.0.0.1:" + std::to_string(Port()) + "\r\n"),
            Redirect("mainpage"));
  EXPECT_EQ(Password(), "fresh");
}

}  // namespace
