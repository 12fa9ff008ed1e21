// Every path of the URL table requested by each kind of visitor, against
// the answer the table's access column and the page's own check give. Rows
// whose handler is not in this build must not be routed at all. A new row of
// the table needs its line in kMatrix, or the test names it.

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "support/loopback.h"
#include "web/http/http_responses.h"
#include "web/pages/common/web_script_plan.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/page_frame.h"
#include "web/text/uri_codec.h"

namespace {

enum Visitor { kNobody, kPlain, kManager, kHR, kAdmin, kStation, kVisitorCount };
constexpr const char* kVisitorNames[] = {"nobody", "plain user", "manager", "HR", "administrator", "station"};

// An expected answer in compact form:
//   "ok"       the page is served (none of the refusals below)
//   "expired"  the session-expired page
//   "admin"    the message page "Only System Administrator can access this page."
//   ">page"    a redirect to page
//   "!text"    the message page holding text, with its button "Return"
//   "~text"    a whole page holding text (a report page without its report)
//   "403"      "403 Forbidden" (a download refused)
//   "204"      "204 No Content" (nothing to do: the browser stays where it is)
//   "station"  the station protocol's header
//   "404"      the plain not-found answer (a download that names no file)
//   "401"      "401 Unauthorized" (the API without a token: a session is no way in)
using Expected = std::array<const char*, kVisitorCount>;

struct MatrixRow {
  const char* path;
  Expected expected;
};

constexpr Expected kAll(const char* answer) { return {answer, answer, answer, answer, answer, answer}; }
constexpr Expected kSessionOk = {"expired", "ok", "ok", "ok", "ok", "ok"};
constexpr Expected kAdminOnly = {"expired", "admin", "admin", "admin", "ok", "admin"};
// Pages that check the viewer against the user they show; a bare request
// shows the viewer's own data.
constexpr Expected kViewerRule = {"expired", "ok", "ok", "ok", "ok", "ok"};
constexpr Expected kViewerRuleNoUser = {"~Current user not found!", "ok", "ok", "ok", "ok", "ok"};
// Setup-wizard steps after the first: a session, and once the wizard has
// finished, an administrator.
// A picture download without the picture's name.
constexpr Expected kDownloadOfNoFile = {"expired", "404", "404", "404", "404", "404"};
constexpr Expected kWizardStep = {"expired", "admin", "admin", "admin", "ok", "admin"};

constexpr char kConfigNoUser[] = "!Can not find current user!";
constexpr char kDeleteNotAdmin[] = "!Only system administrator users can delete users!";
constexpr char kConfigNotAdmin[] = "!Only system administrator users can edit system settings!";

// A bare GET of each path: no fields beyond the session cookie.
const MatrixRow kMatrix[] = {
    {"", kAll("ok")},
    {"logon", kAll("ok")},
    {"userdetail", kSessionOk},
    {"addteam", kAdminOnly},
    {"addleavetype", kAdminOnly},
    {"changepassword", kAll("ok")},
    {"changeemail", kSessionOk},
    {"config", {kConfigNoUser, kConfigNotAdmin, kConfigNotAdmin, kConfigNotAdmin, "ok", kConfigNotAdmin}},
    {"deleteuser", {"expired", kDeleteNotAdmin, kDeleteNotAdmin, kDeleteNotAdmin, "ok", kDeleteNotAdmin}},
    {"enterhours", kViewerRule},
    {"wizardadmin", kAll("ok")},
    {"wizardconfirmemail", kWizardStep},
    {"wizardkavrixusage", kWizardStep},
    {"wizardsmtpsetting", kWizardStep},
    {"wizardaddusers", kWizardStep},
    {"wizardconnectremote", kAll("204")},
    {"wizardfinish", kWizardStep},
    {"lostpassword", kAll("ok")},
    {"sessioninvalid", kAll("expired")},
    {"teamlist", kAdminOnly},
    {"teamlistpost", kAdminOnly},
    {"leavetypelist", kAdminOnly},
    {"leavetypepost", kAdminOnly},
    {"addholiday", kAdminOnly},
    {"leaveform", kViewerRule},
    {"addmanager", kAdminOnly},
    {"addtoteam", kAdminOnly},
    {"routing", kAdminOnly},
    {"mainpage", kSessionOk},
    {"userlist", kSessionOk},
    {"userlistpost", {"expired", ">userlist", ">userlist", ">userlist", ">userlist", ">userlist"}},
    {"holidaylist", kAdminOnly},
    {"holidaylistpost", kAdminOnly},
    {"searchlist", kViewerRule},
    {"searchlistpost", kAll("204")},
    {"viewactivity", kViewerRule},
    {"viewactivitypost", kViewerRule},
    {"viewscreens", kViewerRule},
    {"viewscreenspost", kViewerRule},
    {"viewhours", kViewerRule},
    {"viewhourspost", kAll("204")},
    {"viewmanual", kViewerRuleNoUser},
    {"viewmanualpost", kAll("204")},
    {"leavereport", kViewerRule},
    {"leavereportpost", kViewerRule},
    {"pendingleaverequests", kSessionOk},
    {"pendingleaverequestspost", kSessionOk},
    {"viewappusage", kViewerRule},
    {"viewappusagepost", kAll("204")},
    {"docanalyse", kViewerRule},
    {"timesheet", kViewerRule},
    {"timesheetpost", kViewerRule},
    {"unexplainedabsence", kViewerRuleNoUser},
    {"logout", kSessionOk},
    {"pwdsent", kAll("ok")},
    {"getimg.jpg", kDownloadOfNoFile},
    {"fullsizeimg.jpg", kDownloadOfNoFile},
    {"fullsizeimg", kSessionOk},
    {"syslog.txt", {"403", "403", "403", "403", "404", "403"}},
    {"actlog.csv", {"403", "403", "403", "403", "404", "403"}},
    {"viewlogs", kAdminOnly},
    {"systemlog", kAdminOnly},
    {"archivefolder", kAdminOnly},
    {"activityfolder", kAdminOnly},
    {"connect", kAll("station")},
    {"stationlogon", kAll(">")},
    // The rows this server adds.
    {"viewhours.csv", kViewerRule},
    {"leavecalendar.ics", {"403", "ok", "ok", "ok", "ok", "ok"}},
    {"userlist.csv", kAdminOnly},
    {"userimport", kAdminOnly},
    {"auditlog", kAdminOnly},
    {"myaudit", kSessionOk},
    {"teamcalendar", kSessionOk},
    // The API lets in a token only: a session cookie is no way in.
    {"api/v1/users", kAll("401")},
    {"api/v1/hours", kAll("401")},
    {"api/v1/leave", kAll("401")},
    {"api/v1/presence", kAll("401")},
    {"api/v1/openapi.json", kAll("ok")},
    // The main page's refresh: JSON, so a refusal is a 403 and no page.
    {"today.json", {"403", "ok", "ok", "ok", "ok", "ok"}},
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The compact form of an answer, for the failure list.
std::string Classify(const std::string& answer) {
  if (answer.empty()) return "empty";
  if (answer.rfind("HTTP/1.1 204", 0) == 0) return "204";
  if (answer.rfind("HTTP/1.1 403", 0) == 0) return "403";
  if (answer.rfind("HTTP/1.0 302", 0) == 0) {
    const std::size_t at = answer.find("Location: ");
    return ">" + answer.substr(at + 10, answer.find("\r\n", at) - at - 10);
  }
  if (Has(answer, kLSessionExpiredText)) return "expired";
  if (Has(answer, kLAdministratorOnlyText)) return "admin";
  return "";
}

// The panel's message page: a whole page with its title and the button
// that leads on.
bool IsMessagePage(const std::string& answer) {
  return answer.rfind(kLHttpPageHeader, 0) == 0 && Has(answer, "Kavrixserver Message") &&
         Has(answer, "value=\"Return\"") && Has(answer, "</html>");
}

// Whether `answer` is the answer `expected` describes.
bool Matches(const std::string& answer, const std::string& expected) {
  const bool expired = Has(answer, kLSessionExpiredText);
  const bool adminOnly = Has(answer, kLAdministratorOnlyText);
  const bool redirect = answer.rfind("HTTP/1.0 302", 0) == 0;
  if (expected == "ok") {
    return !answer.empty() && !expired && !adminOnly && !redirect && answer.rfind("HTTP/1.1 404", 0) != 0 &&
           !Has(answer, "Only system administrator") && !Has(answer, "Can not find current user");
  }
  if (expected == "expired") return expired;
  if (expected == "admin") return adminOnly && !expired;
  if (expected == "204") return answer == kLHttpNoContent;
  if (expected == "403") return answer.rfind("HTTP/1.1 403 Forbidden\r\n", 0) == 0;
  if (expected == "404") return answer.rfind("HTTP/1.1 404 Not Found\r\n", 0) == 0;
  if (expected == "401") return answer.rfind("HTTP/1.1 401 Unauthorized\r\n", 0) == 0;
  if (expected == "station") return answer.rfind("HTTP/1.0 200 OK\r\nCache-Control: no-cache\r\n", 0) == 0;
  if (expected[0] == '>') return redirect && Has(answer, "\r\nLocation: " + expected.substr(1));
  if (expected[0] == '~') return answer.rfind(kLHttpPageHeader, 0) == 0 && Has(answer, "</html>") && Has(answer, expected.substr(1));
  return IsMessagePage(answer) && Has(answer, expected.substr(1));
}

// Every answer forbids sniffing and every page framing by other sites; the
// station's answers stay byte for byte what stations read today
// (session_http_test pins "stationlogon").
bool CarriesTheSecurityHeaders(const std::string& path, const std::string& answer, const std::string& expected) {
  if (expected == "station") return answer == kLHttpStationConnect;
  if (path == "stationlogon") return !Has(answer, "nosniff");
  const std::string head = answer.substr(0, answer.find("\r\n\r\n") + 2);
  if (!Has(head, "\r\nX-Content-Type-Options: nosniff\r\n")) return false;
  if (!Has(head, "\r\nContent-Type: text/html")) return true;
  return Has(head, "\r\nX-Frame-Options: DENY\r\n") &&
         Has(head, "\r\nContent-Security-Policy: frame-ancestors 'none'\r\n");
}

// The status line and the start of the body, on one line.
std::string Shown(const std::string& answer) {
  const std::size_t body = answer.find("\r\n\r\n");
  std::string text = answer.substr(0, answer.find("\r\n"));
  if (body != std::string::npos) {
    const std::size_t title = answer.find("</title>", body);
    const std::size_t from = title == std::string::npos ? body + 4 : title;
    text += " | " + answer.substr(from, 120);
  }
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

class AccessMatrixTest : public HoursPagesTest {
 protected:
  // A fresh session for every request: "logout" ends the one it is given.
  std::string SessionFor(Visitor visitor) {
    static int counter = 0;
    const char* who[] = {"", "staff", "mgr", "hr", "boss", "staff"};
    if (visitor == kNobody) return "";
    const std::string id = "lmatrixxx" + std::to_string(++counter);
    std::string content = "user=" + LURIEncode(Email(who[visitor]));
    if (visitor == kStation) content += "&stacon=1";
    EXPECT_TRUE(WriteSession(id, content));
    return id;
  }

  std::string Request(const std::string& path, Visitor visitor) {
    const std::string session = SessionFor(visitor);
    if (path != "connect") return Get(path, session);
    // The station protocol keeps the socket after its header: read only that.
    const LUniqueFd fd = KavrixConnectLoopback(Port());
    if (!fd || !KavrixSendAll(fd.Get(), "GET /connect HTTP/1.0\r\n\r\n")) return "";
    return KavrixRecvHttpResponse(fd.Get());
  }
};

const MatrixRow* FindRow(const char* path) {
  for (const MatrixRow& row : kMatrix) {
    if (std::string(row.path) == path) return &row;
  }
  return nullptr;
}

TEST_F(AccessMatrixTest, EveryPathAnswersEachVisitorAsItsRuleSays) {
  std::vector<LWebScriptPlanRow> rows(std::begin(kLWebScriptPlan), std::end(kLWebScriptPlan));
  rows.insert(rows.end(), std::begin(kLWebScriptAddedRows), std::end(kLWebScriptAddedRows));
  std::string wrong;
  for (const LWebScriptPlanRow& planned : rows) {
    const MatrixRow* row = FindRow(planned.path);
    if (row == nullptr) {
      wrong += std::string("\n  /") + planned.path + ": no line in the matrix";
      continue;
    }
    for (int visitor = 0; visitor < kVisitorCount; ++visitor) {
      const std::string answer = Request(row->path, static_cast<Visitor>(visitor));
      // A row not built yet must fall through to the static files.
      const std::string expected = planned.present ? row->expected[visitor] : "unrouted";
      const bool ok = planned.present ? Matches(answer, expected) : answer == kLHttpNotFoundEmpty;
      if (!ok) {
        wrong += std::string("\n  /") + row->path + " as " + kVisitorNames[visitor] + ": expected " + expected +
                 ", got " + Classify(answer) + " " + Shown(answer);
      }
      if (!CarriesTheSecurityHeaders(row->path, answer, expected)) {
        wrong += std::string("\n  /") + row->path + " as " + kVisitorNames[visitor] + ": headers " +
                 answer.substr(0, answer.find("\r\n\r\n"));
      }
    }
  }
  EXPECT_TRUE(wrong.empty()) << "paths that answered wrongly:" << wrong;
}

// A status line and the end of the headers; a page answered with 200 is a
// whole page. Browsers show anything less as a broken response.
bool IsCompleteResponse(const std::string& answer) {
  static const std::regex kStatusLine("^HTTP/1\\.[01] [1-5][0-9][0-9] [^\r\n]*\r\n");
  if (!std::regex_search(answer, kStatusLine) || !Has(answer, "\r\n\r\n")) return false;
  if (answer.rfind(kLHttpPageHeader, 0) != 0) return true;
  return Has(answer, "<html") && Has(answer, "</html>");
}

// Every path of the table as every visitor, by GET and by POST, bare and
// naming the administrator's data: never an empty reply, bare text without
// a status line, or half a page.
TEST_F(AccessMatrixTest, EveryAnswerIsACompleteHttpResponse) {
  std::vector<LWebScriptPlanRow> rows(std::begin(kLWebScriptPlan), std::end(kLWebScriptPlan));
  rows.insert(rows.end(), std::begin(kLWebScriptAddedRows), std::end(kLWebScriptAddedRows));
  std::string wrong;
  const std::string other = "?seluser=" + LURIEncode(Email("boss")) + "&startdate=2026-03-02&enddate=2026-03-08";
  std::vector<std::pair<std::string, std::string>> requests;  // path, query
  for (const std::string& query : {std::string(), other}) {
    for (const LWebScriptPlanRow& row : rows) requests.emplace_back(row.path, query);
  }
  for (const auto& [name, query] : requests) {
    const std::string path = name + query;
    // Each visitor, and last a session whose address was changed since.
    for (int visitor = 0; visitor <= kVisitorCount; ++visitor) {
      for (const bool post : {false, true}) {
        // A station's connection keeps talking after its header.
        if (name == "connect" && (post || visitor == kVisitorCount || !query.empty())) continue;
        const Visitor who = static_cast<Visitor>(visitor);
        std::string session;
        if (visitor == kVisitorCount) {
          session = "lrenamedx" + std::to_string(visitor);
          EXPECT_TRUE(WriteSession(session, "user=" + LURIEncode(Email("former"))));
        } else if (post) {
          session = SessionFor(who);
        }
        const std::string answer = post                      ? Post(path, "x=1", session)
                                   : visitor == kVisitorCount ? Get(path, session)
                                                              : Request(path, who);
        if (!IsCompleteResponse(answer)) {
          wrong += std::string("\n  ") + (post ? "POST" : "GET") + " /" + path + " as " +
                   (visitor == kVisitorCount ? "a changed address" : kVisitorNames[visitor]) + ": " +
                   Shown(answer);
        }
      }
    }
  }
  EXPECT_TRUE(wrong.empty()) << "answers that are no complete HTTP response:" << wrong;
}

}  // namespace
