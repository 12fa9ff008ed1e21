// Sessions, access rules and the session handlers over real loopback HTTP:
// cookies in, exact pages out, and one session changed by many requests
// at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "model/users.h"
#include "station/station_pages.h"
#include "support/log_reader.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/redirect_target.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/session_invalid_page.h"
#include "web/pages/hours/search_list_page.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/plain_web_page.h"
#include "web/session/weblet_session.h"

namespace {

void Login(LWebletForm& form) {
  LWebletSessionData& session = form.Session();
  session.CreateNewSession(true);
  session.SetParm("user", form.Params().GetParm("user"));
  WLSendRaw(form, LHttpRedirectWithCookieText(session.Id(), "mainpage", form.IsSecure()));
}

void Set(LWebletForm& form) {
  if (!WLValidateSession(form)) return;
  form.Session().SetParm(form.Params().GetParm("k"), form.Params().GetParm("v"));
  WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\nok");
}

void ShowSession(LWebletForm& form) {
  std::string text;
  form.Session().SaveHTTPString(text);
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\n%s:%s", form.Session().IsValid() ? "valid" : "invalid",
           text);
}

void Admin(LWebletForm& form) {
  if (WLRequireAdministrator(form)) WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\nadmin");
}

void Logout(LWebletForm& form) {
  if (WLValidateSession(form)) form.Session().DeleteSession();
}

void Plain(LWebletForm& form) {
  LPlainWebPage page(form);
  if (page.Authenticate()) WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\npage");
}

const LWebScriptEntry kTable[] = {
    {"login", Login, LWebAccess::kAnyone},
    {"set", Set, LWebAccess::kAnyone},
    {"get", ShowSession, LWebAccess::kAnyone},
    {"admin", Admin, LWebAccess::kAnyone},
    {"logout", Logout, LWebAccess::kAnyone},
    {"plain", Plain, LWebAccess::kAnyone},
    {"sessioninvalid", WLSessionInvalidPage, LWebAccess::kAnyone},
    {"searchlistpost", WLSearchListPost, LWebAccess::kAnyone},
    {"stationlogon", WLStationLogon, LWebAccess::kAnyone},
};

// A page in the panel's own frame that shows `text`.
bool IsPanelPage(const std::string& answer, const std::string& text) {
  return answer.rfind(kLHttpPageHeader, 0) == 0 && answer.find(text) != std::string::npos &&
         answer.size() > 14 && answer.compare(answer.size() - 14, 14, "</body></html>") == 0;
}

class SessionHttpTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(kTable);
  }
  // Logs `email` on; returns the session id from the cookie.
  std::string LogOn(const std::string& email) {
    const std::string reply = Get("login?user=" + email);
    const std::size_t at = reply.find("sess=");
    const std::size_t end = reply.find(';', at);
    if (at == std::string::npos || end == std::string::npos) return "";
    return reply.substr(at + 5, end - at - 5);
  }
};

const std::string kOk = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\n";

}  // namespace

// The cookie of a logon carries the session: its changes are kept in its
// file and a later request sees them.
TEST_F(SessionHttpTest, TheCookieOfALogonCarriesTheSession) {
  const std::string id = LogOn("bob%40x.example");
  ASSERT_EQ(id.size(), 10u);
  EXPECT_EQ(Get("set?k=date&v=2024-05-06", CookieLine("sess=" + id)), kOk + "ok");
  EXPECT_EQ(Get("get", CookieLine("theme=a+b; sess=" + id)), kOk + "valid:date=2024-05-06&user=bob%40x.example");
}

TEST_F(SessionHttpTest, WithoutSessionTheExpiredPageOrTheLogonRedirect) {
  const std::string expired = Get("sessioninvalid");
  EXPECT_TRUE(IsPanelPage(expired, kLSessionExpiredText)) << expired;
  EXPECT_EQ(Get("set?k=a&v=b"), expired);
  EXPECT_EQ(Get("plain"), "HTTP/1.0 302 OK\r\nLocation: logon\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Get("searchlistpost"), kLHttpNoContent);
}

// A session whose file went or that logged out: no session, and no file is
// written.
TEST_F(SessionHttpTest, EndedSessionsGiveNoSessionAndTouchNoFile) {
  const std::string id = LogOn("a%40x.example");
  const std::string gone = LogOn("b%40x.example");
  ASSERT_EQ(::unlink((SharedFolder() + "/SessionData/" + gone + ".sess").c_str()), 0);
  const std::string out = LogOn("c%40x.example");
  Get("logout", CookieLine("sess=" + out));
  for (const std::string& ended : {gone, out}) {
    EXPECT_EQ(Get("get", CookieLine("sess=" + ended)), kOk + "invalid:") << ended;
  }
  EXPECT_EQ(Get("set?k=a&v=b", CookieLine("sess=" + gone)), Get("sessioninvalid"));
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/SessionData"), std::vector<std::string>{id + ".sess"});
}

TEST_F(SessionHttpTest, TheAdministratorRuleFollowsTheUserRecord) {
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "p"));
  ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "boss@x.example", "p"));
  const std::string boss = LogOn("BOSS%40x.example");
  const std::string hr = LogOn("hr%40x.example");
  EXPECT_EQ(Get("admin", CookieLine("sess=" + boss)), kOk + "admin");
  const std::string refused = Get("admin", CookieLine("sess=" + hr));
  EXPECT_TRUE(IsPanelPage(refused, "Only System Administrator can access this page.")) << refused;
  ASSERT_TRUE(KXDeleteUser("boss@x.example"));
  EXPECT_EQ(Get("admin", CookieLine("sess=" + boss)), refused);
}

// The station's own computer gets its session as a cookie and goes to a page
// of this server; a link with a station's session id must not log whoever
// follows it on: another address, a browser's session, no session.
TEST_F(SessionHttpTest, StationLogonHandsTheSessionToTheStationsComputerOnly) {
  const std::string folder = LWebletSessionData::Folder();
  ASSERT_TRUE(KavrixWriteFile(folder + "/labcdefgh7.sess", "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
  ASSERT_TRUE(KavrixWriteFile(folder + "/lotherhst1.sess", "staaddr=10.0.0.9&stacon=1&user=ann%40x.example"));
  ASSERT_TRUE(KavrixWriteFile(folder + "/lbrowsers2.sess", "user=ann%40x.example"));
  const std::string cookie = "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh7; HttpOnly; SameSite=Lax\r\nLocation: ";
  const std::string logon = "HTTP/1.0 302 OK\r\nLocation: logon\r\n\r\n";
  const std::pair<const char*, std::string> cases[] = {
      {"sess=labcdefgh7&cmd=viewhours&seluser=ann@x.example", cookie + "viewhours?seluser=ann@x.example\r\n\r\n"},
      {"sess=labcdefgh7&cmd=https://evil.example/&seluser=a", cookie + "mainpage?seluser=a\r\n\r\n"},
      {"sess=x%3B%20Domain%3Devil&cmd=mainpage", logon},
      {"sess=lotherhst1&cmd=mainpage", logon},
      {"sess=lbrowsers2&cmd=mainpage", logon},
  };
  for (const auto& [query, reply] : cases) EXPECT_EQ(Get(std::string("stationlogon?") + query), reply) << query;
  const std::vector<std::string> log = KavrixLogMessages();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.rfind("A station session was refused to 127.0.0.1:", 0) == 0;
  }));
  EXPECT_EQ(KavrixReadFile(folder + "/lotherhst1.sess"), "staaddr=10.0.0.9&stacon=1&user=ann%40x.example");
}

TEST_F(SessionHttpTest, RedirectTargetsStayOnThisServer) {
  const std::pair<const char*, const char*> cases[] = {
      {"viewhours?seluser=a@b.c", "viewhours?seluser=a@b.c"},
      {"", "mainpage"},
      {"https://evil.example", "mainpage"},
      {"//evil.example", "mainpage"},
      {"/\\evil.example", "mainpage"},
      {"page\r\nSet-Cookie: a=b", "mainpage"},
      {"list?x=a:b", "list?x=a:b"},
  };
  for (const auto& [value, target] : cases) EXPECT_EQ(LWebletSafeTarget(value, "mainpage"), target) << value;
}

// Fifty requests change one session at once: each is answered, and its file
// holds one whole table (changes may overwrite each other, never tear it).
TEST_F(SessionHttpTest, ConcurrentChangesOfOneSessionLeaveOneWholeTable) {
  const std::string id = LogOn("a%40x.example");
  constexpr int kRequests = 50;
  const std::string value(100, 'v');
  std::atomic<int> ok{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kRequests; ++i) {
    threads.emplace_back([&, i] {
      ok += Get("set?k=k" + std::to_string(i) + "&v=" + value, CookieLine("sess=" + id)) == kOk + "ok";
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(ok.load(), kRequests);
  LHashTable table;
  table.LoadHTTPString(KavrixReadFile(SharedFolder() + "/SessionData/" + id + ".sess"));
  EXPECT_STREQ(table.GetParm("user"), "a@x.example");
  EXPECT_GE(table.Size(), 2u);
  for (const auto& pair : table) EXPECT_EQ(pair.value, pair.key == "user" ? "a@x.example" : value) << pair.key;
}
