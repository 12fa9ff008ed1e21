// Sessions, access rules and the session handlers over real loopback HTTP:
// cookies in, exact pages out, and one session changed by many requests
// at once.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "model/users.h"
#include "station/station_pages.h"
#include "support/log_reader.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
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

void Roles(LWebletForm& form) {
  std::string email;
  const bool found = KXGetCurrentUserEmail(form, email);
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\n%d %s %d%d%d", found ? 1 : 0, email,
           KXIsCurrentUserAdministator(form) ? 1 : 0, KXIsCurrentUserAccountant(form) ? 1 : 0,
           KXIsCurrentUserManager(form) ? 1 : 0);
}

void Withdraw(LWebletForm& form) {
  if (*form.Params().GetParm("put") != '\0') form.Session().SetParm("msg", form.Params().GetParm("put"));
  std::string out;
  WLWithdrawSessData(form, "msg", out, "none");
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\n%s", out);
}

void Logout(LWebletForm& form) {
  if (WLValidateSession(form)) form.Session().DeleteSession();
}

void Plain(LWebletForm& form) {
  LPlainWebPage page(form);
  if (page.Authenticate()) WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\npage");
}

// "connect" as the panel has it, with a stand-in for the station protocol
// that says who it got the socket from.
void StandInConnect(LWebletForm& form) {
  WLHandOverConnection(form, [](LThread&, LIPSocketTCP& socket, const std::string& remote) {
    const std::string text = "station " + remote.substr(0, 10);
    (void)::send(socket.Get(), text.data(), text.size(), MSG_NOSIGNAL);
  });
}

const LWebScriptEntry kTable[] = {
    {"login", Login, LWebAccess::kAnyone},
    {"set", Set, LWebAccess::kAnyone},
    {"get", ShowSession, LWebAccess::kAnyone},
    {"admin", Admin, LWebAccess::kAnyone},
    {"roles", Roles, LWebAccess::kAnyone},
    {"take", Withdraw, LWebAccess::kAnyone},
    {"logout", Logout, LWebAccess::kAnyone},
    {"plain", Plain, LWebAccess::kAnyone},
    {"sessioninvalid", WLSessionInvalidPage, LWebAccess::kAnyone},
    {"searchlistpost", WLSearchListPost, LWebAccess::kAnyone},
    {"connect", StandInConnect, LWebAccess::kAnyone},
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
    table_.assign(std::begin(kTable), std::end(kTable));
    StartServer(table_);
  }
  // Logs `email` on; returns the session id from the cookie.
  std::string LogOn(const std::string& email) {
    const std::string reply = Get("login?user=" + email);
    const std::size_t at = reply.find("sess=");
    const std::size_t end = reply.find(';', at);
    if (at == std::string::npos || end == std::string::npos) return "";
    return reply.substr(at + 5, end - at - 5);
  }

  std::vector<LWebScriptEntry> table_;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const std::string kOk = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\n";

}  // namespace

TEST_F(SessionHttpTest, LogonSetsAnHttpOnlyCookieAndTheSessionFollowsIt) {
  const std::string reply = Get("login?user=ann%40x.example");
  ASSERT_EQ(reply.substr(0, 35), "HTTP/1.0 302 OK\r\nSet-Cookie: sess=l");
  const std::string id = LogOn("bob%40x.example");
  ASSERT_EQ(id.size(), 10u);
  EXPECT_TRUE(Contains(reply, "; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\n"
                              "X-Content-Type-Options: nosniff\r\n\r\n"));
  EXPECT_EQ(Get("set?k=date&v=2024-05-06", CookieLine("sess=" + id)), kOk + "ok");
  EXPECT_EQ(Get("get", CookieLine("theme=a+b; sess=" + id)),
            kOk + "valid:date=2024-05-06&user=bob%40x.example");
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/SessionData/" + id + ".sess"),
            "date=2024-05-06&user=bob%40x.example");
}

TEST_F(SessionHttpTest, WithoutSessionTheExpiredPageOrTheLogonRedirect) {
  const std::string expired = Get("sessioninvalid");
  EXPECT_TRUE(IsPanelPage(expired, kLSessionExpiredText)) << expired;
  EXPECT_EQ(Get("set?k=a&v=b"), expired);
  EXPECT_EQ(Get("plain"), "HTTP/1.0 302 OK\r\nLocation: logon\r\nX-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Get("searchlistpost"), kLHttpNoContent);
  EXPECT_TRUE(KavrixFolderEntries(SharedFolder() + "/SessionData").empty());
}

TEST_F(SessionHttpTest, BadCookiesGiveNoSessionAndTouchNoFile) {
  const std::string id = LogOn("a%40x.example");
  const struct {
    std::string cookie;
    const char* reply;
  } cases[] = {
      {"sess=../../kavrixserver/etc/routing", "invalid:"},
      {"sess", "invalid:"},
      {"sess=", "invalid:"},
      {"sess=%zz%4", "invalid:"},
      {"sess=" + std::string(5000, 'l'), "invalid:"},
      {"sess=l%2Fabcdefg1", "invalid:"},
      {"sess=" + id + "x", "invalid:"},
      {"sess=\x01\xff; sess=" + id, "valid:user=a%40x.example"},
      {"sess=" + id + "; sess=junk", "invalid:"},
      {"Sess=" + id, "invalid:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Get("get", CookieLine(c.cookie)), kOk + c.reply)
        << c.cookie.substr(0, 40);
  }
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/SessionData"),
            std::vector<std::string>{id + ".sess"});
}

// A session whose file went between two requests, or that logged out, no
// longer answers, and nothing writes its file again.
TEST_F(SessionHttpTest, ADeletedSessionNoLongerAnswers) {
  const std::string gone = LogOn("a%40x.example");
  ASSERT_TRUE(::unlink((SharedFolder() + "/SessionData/" + gone + ".sess").c_str()) == 0);
  const std::string out = LogOn("b%40x.example");
  Get("logout", CookieLine("sess=" + out));
  for (const std::string& id : {gone, out}) {
    EXPECT_EQ(Get("get", CookieLine("sess=" + id)), kOk + "invalid:");
    EXPECT_EQ(Get("set?k=a&v=b", CookieLine("sess=" + id)), Get("sessioninvalid"));
    EXPECT_FALSE(KavrixFileExists(SharedFolder() + "/SessionData/" + id + ".sess"));
  }
}

TEST_F(SessionHttpTest, RolesFollowTheUserRecord) {
  ASSERT_TRUE(KXAddUser("boss@x.example", "Boss", true, false, "", "", "p"));
  ASSERT_TRUE(KXAddUser("hr@x.example", "Hr", false, true, "", "boss@x.example", "p"));
  const std::string boss = LogOn("BOSS%40x.example");
  const std::string hr = LogOn("hr%40x.example");
  const std::string ghost = LogOn("ghost%40x.example");
  EXPECT_EQ(Get("roles", CookieLine("sess=" + boss)), kOk + "1 BOSS@x.example 101");
  EXPECT_EQ(Get("roles", CookieLine("sess=" + hr)), kOk + "1 hr@x.example 010");
  EXPECT_EQ(Get("roles", CookieLine("sess=" + ghost)), kOk + "0  000");
  EXPECT_EQ(Get("admin", CookieLine("sess=" + boss)), kOk + "admin");
  const std::string refused = Get("admin", CookieLine("sess=" + hr));
  EXPECT_TRUE(IsPanelPage(refused, "Only System Administrator can access this page.")) << refused;
  EXPECT_EQ(Get("admin"), Get("sessioninvalid"));
  ASSERT_TRUE(KXDeleteUser("boss@x.example"));
  EXPECT_EQ(Get("admin", CookieLine("sess=" + boss)), refused);
}

TEST_F(SessionHttpTest, WithdrawnValueIsHandedOverOnce) {
  const std::string id = LogOn("a%40x.example");
  EXPECT_EQ(Get("take?put=half+filled", CookieLine("sess=" + id)), kOk + "half filled");
  EXPECT_EQ(Get("take", CookieLine("sess=" + id)), kOk + "none");
}

TEST_F(SessionHttpTest, StationLogonHandsTheSessionToTheBrowser) {
  ASSERT_TRUE(KavrixWriteFile(LWebletSessionData::Folder() + "/labcdefgh7.sess",
                              "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
  const struct {
    const char* query;
    const char* reply;
  } cases[] = {
      {"sess=labcdefgh7&cmd=viewhours&seluser=ann@x.example",
       "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh7; HttpOnly; SameSite=Lax\r\nLocation: "
       "viewhours?seluser=ann@x.example\r\n\r\n"},
      {"sess=labcdefgh7&cmd=timesheet",
       "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh7; HttpOnly; SameSite=Lax\r\nLocation: "
       "timesheet\r\n\r\n"},
      {"sess=labcdefgh7&cmd=https://evil.example/&seluser=a",
       "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh7; HttpOnly; SameSite=Lax\r\nLocation: "
       "mainpage?seluser=a\r\n\r\n"},
      {"sess=x%3B%20Domain%3Devil&cmd=mainpage", "HTTP/1.0 302 OK\r\nLocation: logon\r\n\r\n"},
      {"cmd=mainpage", "HTTP/1.0 302 OK\r\nLocation: logon\r\n\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Get(std::string("stationlogon?") + c.query), c.reply);
}

// A link with a station's session id must not log whoever follows it on as
// that station's user: only the station's own computer gets the session.
TEST_F(SessionHttpTest, StationLogonRefusesASessionOfAnotherAddressOrOfNoStation) {
  const std::string folder = LWebletSessionData::Folder();
  ASSERT_TRUE(KavrixWriteFile(folder + "/lotherhst1.sess", "staaddr=10.0.0.9&stacon=1&user=ann%40x.example"));
  ASSERT_TRUE(KavrixWriteFile(folder + "/lbrowsers2.sess", "user=ann%40x.example"));
  ASSERT_TRUE(KavrixWriteFile(folder + "/lnoaddres3.sess", "stacon=1&user=ann%40x.example"));
  for (const char* id : {"lotherhst1", "lbrowsers2", "lnoaddres3", "lmissingx4"}) {
    EXPECT_EQ(Get("stationlogon?cmd=mainpage&sess=" + std::string(id)), "HTTP/1.0 302 OK\r\nLocation: logon\r\n\r\n")
        << id;
  }
  bool logged = false;
  for (const std::string& line : KavrixLogMessages()) {
    logged = logged || line.rfind("A station session was refused to 127.0.0.1:", 0) == 0;
  }
  EXPECT_TRUE(logged);
  // Asking did not change the sessions.
  EXPECT_EQ(KavrixReadFile(folder + "/lotherhst1.sess"), "staaddr=10.0.0.9&stacon=1&user=ann%40x.example");
}

TEST_F(SessionHttpTest, RedirectTargetsStayOnThisServer) {
  const struct {
    const char* value;
    const char* target;
  } cases[] = {
      {"viewhours?seluser=a@b.c", "viewhours?seluser=a@b.c"},
      {"help/index.html", "help/index.html"},
      {"", "mainpage"},
      {"https://evil.example", "mainpage"},
      {"JavaScript:alert(1)", "mainpage"},
      {"//evil.example", "mainpage"},
      {"\\\\evil.example", "mainpage"},
      {"/\\evil.example", "mainpage"},
      {"page\r\nSet-Cookie: a=b", "mainpage"},
      {"page\tx", "mainpage"},
      {"/mainpage", "/mainpage"},
      {"list?x=a:b", "list?x=a:b"},
  };
  for (const auto& c : cases) EXPECT_EQ(LWebletSafeTarget(c.value, "mainpage"), c.target) << c.value;
}

TEST_F(SessionHttpTest, ConnectSendsTheHeaderThenHandsTheSocketOver) {
  EXPECT_EQ(std::string(kLHttpStationConnect).size(), 84u);
  EXPECT_EQ(Get("connect"), std::string(kLHttpStationConnect) + "station 127.0.0.1:");
}

TEST_F(SessionHttpTest, ConcurrentChangesOfOneSessionLeaveOneWholeTable) {
  const std::string id = LogOn("a%40x.example");
  constexpr int kRequests = 50;
  std::atomic<int> ok{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kRequests; ++i) {
    threads.emplace_back([&, i] {
      const std::string n = std::to_string(i);
      if (Get("set?k=k" + n + "&v=" + std::string(100, 'a' + i % 26), CookieLine("sess=" + id)) ==
          kOk + "ok") {
        ++ok;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(ok.load(), kRequests);
  LHashTable table;
  const std::string text = KavrixReadFile(SharedFolder() + "/SessionData/" + id + ".sess");
  table.LoadHTTPString(text);
  std::string again;
  table.SaveHTTPString(again);
  EXPECT_EQ(again, text);
  EXPECT_STREQ(table.GetParm("user"), "a@x.example");
  EXPECT_GE(table.Size(), 2u);
  for (const auto& pair : table) {
    if (pair.key == "user") continue;
    const int i = std::stoi(pair.key.substr(1));
    EXPECT_EQ(pair.value, std::string(100, 'a' + i % 26));
  }
}
