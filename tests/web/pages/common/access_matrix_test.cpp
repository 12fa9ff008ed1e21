// Every row of the URL table, by GET and by POST, bare and naming another
// user's data, as each visitor the access rules tell apart: the answer the
// row's rule gives, what the page
// itself shows a bare GET, and the headers and completeness of every answer.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "hours_pages_fixture.h"
#include "support/loopback.h"
#include "web/http/http_responses.h"
#include "web/pages/common/web_script_array.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/text/uri_codec.h"

namespace {

// Last, a session whose user is gone (the address was changed since).
enum Visitor { kNobody, kPlain, kAdmin, kFormer, kVisitorCount };
constexpr const char* kVisitorNames[] = {"nobody", "plain user", "administrator", "a changed address"};
constexpr const char* kVisitorUsers[] = {"", "staff", "boss", "former"};

// What a bare GET shows nobody, a plain user and an administrator where the
// row's rule lets them in and the answer is not simply the page ("ok"):
//   ">page"    a redirect to page            "expired"  the session-expired page
//   "!text"    the message page with text    "admin"    the administrator notice
//   "~text"    a whole page holding text     "station"  the station protocol's header
//   "204", "403", "404"  that status
using Shown = std::array<const char*, 3>;
constexpr Shown kAll(const char* answer) { return {answer, answer, answer}; }
constexpr Shown kWizardStep = {"expired", "admin", "ok"};
constexpr char kConfigNotAdmin[] = "!Only system administrator users can edit system settings!";
constexpr char kDeleteNotAdmin[] = "!Only system administrator users can delete users!";

const std::map<std::string, Shown> kPageAnswers = {
    {"config", {"!Can not find current user!", kConfigNotAdmin, "ok"}},
    {"deleteuser", {"expired", kDeleteNotAdmin, "ok"}},
    {"wizardconfirmemail", kWizardStep},
    {"wizardkavrixusage", kWizardStep},
    {"wizardsmtpsetting", kWizardStep},
    {"wizardaddusers", kWizardStep},
    {"wizardfinish", kWizardStep},
    {"wizardconnectremote", kAll("204")},
    {"sessioninvalid", kAll("expired")},
    {"userlistpost", kAll(">userlist")},
    {"searchlistpost", kAll("204")},
    {"viewhourspost", kAll("204")},
    {"viewmanual", {"~Current user not found!", "ok", "ok"}},
    {"viewmanualpost", kAll("204")},
    {"viewappusagepost", kAll("204")},
    {"unexplainedabsence", {"~Current user not found!", "ok", "ok"}},
    {"getimg.jpg", kAll("404")},
    {"fullsizeimg.jpg", kAll("404")},
    {"syslog.txt", kAll("404")},
    {"actlog.csv", kAll("404")},
    {"connect", kAll("station")},
    {"stationlogon", kAll(">")},
    {"leavecalendar.ics", {"403", "ok", "ok"}},
    // The main page's refresh: JSON, so a refusal is a 403 and no page.
    {"today.json", {"403", "ok", "ok"}},
};

constexpr char kAdminNotice[] = "admin";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool StartsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

bool IsMessagePage(const std::string& answer) {
  return StartsWith(answer, kLHttpPageHeader) && Has(answer, "Kavrixserver Message") &&
         Has(answer, "value=\"Return\"") && Has(answer, "</html>");
}

// Whether `answer` is the answer `expected` describes.
bool Matches(const std::string& answer, const std::string& expected) {
  const bool expired = Has(answer, kLSessionExpiredText);
  const bool adminOnly = Has(answer, kLAdministratorOnlyText);
  const bool redirect = StartsWith(answer, "HTTP/1.0 302");
  if (expected == "ok") {
    return !answer.empty() && !expired && !adminOnly && !redirect && !StartsWith(answer, "HTTP/1.1 404") &&
           !Has(answer, "Only system administrator") && !Has(answer, "Can not find current user");
  }
  if (expected == "expired") return expired;
  if (expected == "admin") return adminOnly && !expired;
  if (expected == "204") return answer == kLHttpNoContent;
  if (expected == "403" || expected == "404") return StartsWith(answer, "HTTP/1.1 " + expected + " ");
  if (expected == "station") return answer == kLHttpStationConnect;
  if (expected[0] == '>') return redirect && Has(answer, "\r\nLocation: " + expected.substr(1));
  if (expected[0] == '~') {
    return StartsWith(answer, kLHttpPageHeader) && Has(answer, "</html>") && Has(answer, expected.substr(1));
  }
  return IsMessagePage(answer) && Has(answer, expected.substr(1));
}

// Every answer forbids sniffing and every page framing by other sites; the
// station's answers stay byte for byte what stations read (session_http_test
// pins "stationlogon"). A status line, the end of the headers, and a page
// answered with 200 is a whole page: browsers show anything less as broken.
bool IsCompleteWithHeaders(const std::string& path, const std::string& answer) {
  static const std::regex kStatusLine("^HTTP/1\\.[01] [1-5][0-9][0-9] [^\r\n]*\r\n");
  if (!std::regex_search(answer, kStatusLine) || !Has(answer, "\r\n\r\n")) return false;
  if (StartsWith(answer, kLHttpPageHeader) && !(Has(answer, "<html") && Has(answer, "</html>"))) return false;
  if (path == "connect") return answer == kLHttpStationConnect;
  if (path == "stationlogon") return !Has(answer, "nosniff");
  const std::string head = answer.substr(0, answer.find("\r\n\r\n") + 2);
  if (!Has(head, "\r\nX-Content-Type-Options: nosniff\r\n")) return false;
  if (!Has(head, "\r\nContent-Type: text/html")) return true;
  return Has(head, "\r\nX-Frame-Options: DENY\r\n") &&
         Has(head, "\r\nContent-Security-Policy: frame-ancestors 'none'\r\n");
}

// The status line, to name a wrong answer.
std::string Brief(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

class AccessMatrixTest : public HoursPagesTest {
 protected:
  // A fresh session for every request: "logout" ends the one it is given.
  std::string SessionFor(Visitor visitor) {
    static int counter = 0;
    if (visitor == kNobody) return "";
    const std::string id = "lmatrixxx" + std::to_string(++counter);
    EXPECT_TRUE(WriteSession(id, "user=" + LURIEncode(Email(kVisitorUsers[visitor]))));
    return id;
  }

  std::string Request(const std::string& path, Visitor visitor, bool post) {
    const std::string session = SessionFor(visitor);
    if (post) return Post(path, "x=1", session);
    if (path != "connect") return Get(path, session);
    // The station protocol keeps the socket after its header: read only that.
    const LUniqueFd fd = KavrixConnectLoopback(Port());
    if (!fd || !KavrixSendAll(fd.Get(), "GET /connect HTTP/1.0\r\n\r\n")) return "";
    return KavrixRecvHttpResponse(fd.Get());
  }

  // The answer `rule` gives `visitor` instead of the page, or "" when it
  // lets the visitor in. The administrator notice names the page it refuses
  // (kAdminNotice stands for it); the API's refusal is JSON: its status
  // line is checked here, its body by api_test.
  std::string Refusal(LWebAccess rule, Visitor visitor, bool post) const {
    const std::string expired = expiredPage_;
    switch (rule) {
      case LWebAccess::kSession:
        return visitor == kNobody ? expired : "";
      case LWebAccess::kAdministrator:
        return visitor == kNobody ? expired : visitor == kAdmin ? "" : kAdminNotice;
      case LWebAccess::kAdministratorFile:
        return visitor == kAdmin ? "" : std::string(kLHttpForbiddenText) + kLAdministratorOnlyFileText + "\r\n";
      case LWebAccess::kApiToken:
        return post ? "HTTP/1.1 405 " : "HTTP/1.1 401 Unauthorized\r\n";
      case LWebAccess::kAnyone:
      case LWebAccess::kPageRule:
        return "";
    }
    return "rule unknown to this test";
  }

  std::string expiredPage_;
};

TEST_F(AccessMatrixTest, EveryRowAnswersEachVisitorAsItsRuleSays) {
  expiredPage_ = Get("sessioninvalid");
  ASSERT_TRUE(StartsWith(expiredPage_, kLHttpPageHeader) && Has(expiredPage_, kLSessionExpiredText));
  std::set<std::string> paths;
  std::string wrong;
  const std::string other = "?seluser=" + LURIEncode(Email("boss")) + "&startdate=2026-03-02&enddate=2026-03-08";
  for (const LWebScriptEntry& row : WebScriptArray()) {
    const std::string path = row.path;
    EXPECT_TRUE(paths.insert(path).second) << "/" << path << " is listed twice: the later row is never reached";
    for (const std::string& query : {std::string(), other}) {
      for (const bool post : {false, true}) {
        for (int v = 0; v < kVisitorCount; ++v) {
          // A station's connection keeps talking after its header.
          if (path == "connect" && (post || v != kNobody || !query.empty())) continue;
          const Visitor visitor = static_cast<Visitor>(v);
          const std::string answer = Request(path + query, visitor, post);
          const auto fail = [&](const std::string& what) {
            wrong += std::string("\n  ") + (post ? "POST /" : "GET /") + path + query + " as " + kVisitorNames[v] +
                     ": " + what + ", got " + Brief(answer);
          };
          if (!IsCompleteWithHeaders(path, answer)) fail("no complete answer with the security headers");
          const std::string refusal = Refusal(row.access, visitor, post);
          const bool notice = IsMessagePage(answer) && Has(answer, kLAdministratorOnlyText);
          if (refusal == kAdminNotice) {
            if (!notice) fail("the administrator notice");
          } else if (!refusal.empty()) {
            const bool exact = row.access != LWebAccess::kApiToken;
            if (exact ? answer != refusal : !StartsWith(answer, refusal)) fail("the refusal of its rule");
          } else if (row.access != LWebAccess::kAnyone && row.access != LWebAccess::kPageRule &&
                     (answer == expiredPage_ || notice)) {
            fail("the page its rule lets this visitor see");
          } else if (!post && query.empty() && visitor != kFormer) {
            const auto page = kPageAnswers.find(path);
            const std::string expected = page == kPageAnswers.end() ? "ok" : page->second[v];
            if (!Matches(answer, expected)) fail("expected " + expected);
          }
        }
      }
    }
  }
  EXPECT_TRUE(wrong.empty()) << "rows that answered wrongly:" << wrong;
}

}  // namespace
