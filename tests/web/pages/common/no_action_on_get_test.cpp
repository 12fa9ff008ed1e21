// A link or another site's page can make a browser send any GET with the
// user's cookie. Every path of the URL table, as an administrator, a plain
// user and without a session, is sent the fields of each form its page shows
// with each of the form's buttons, by GET: no stored file and no logon may
// change. The same fields posted from the panel still act.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "model/users.h"
#include "web/pages/common/web_script_array.h"
#include "web/pages/users/user_detail_page.h"
#include "web/text/uri_codec.h"

namespace {

// Paths left out, and why.
const std::set<std::string> kLeftOut = {
    "connect",       // the stations' protocol, not a page
    "stationlogon",  // hands a station's session to the browser on that station
    "logout",        // the navigation's "Logout" link: ending one's own session is what it is for
};

// The access audit records who looked at whose activity and screenshots: a
// GET of those pages writes it by design.
bool WrittenByReading(const std::string& relative) { return relative.starts_with("/kavrixserver/etc/Audit/"); }

// Fields over what a page shows that make its forms act: a form sent back
// unchanged stores nothing, even by POST.
const std::map<std::string, HtmlFields> kActing = {
    {"", {{"101", "staff@x.example"}, {"102", "pw"}}},
    {"logon", {{"101", "staff@x.example"}, {"102", "pw"}}},
    {"userdetail", {{"102", "Renamed"}, {"106", "on"}}},
    {"addteam", {{"101", "Links"}}},
    {"addleavetype", {{"101", "Links"}}},
    {"addholiday", {{"101", "2026-12-24"}, {"102", "2026-12-24"}, {"103", "Eve"}}},
    {"changepassword", {{"101", "pw"}, {"102", "new"}, {"103", "new"}}},
    {"changeemail", {{"102", "new@x.example"}, {"103", "new@x.example"}}},
    {"lostpassword", {{"101", "staff@x.example"}}},
    {"userlist", {{"count", "2"}, {"check0", "staff@x.example"}, {"check1", "staff2@x.example"}}},
};

// The page's fields with the acting ones of `path` put in their place.
HtmlFields ActingFields(const std::string& path, HtmlFields fields) {
  const auto acting = kActing.find(path);
  if (acting == kActing.end()) return fields;
  for (const auto& [name, value] : acting->second) {
    std::erase_if(fields, [&](const auto& field) { return field.first == name; });
    fields.emplace_back(name, value);
  }
  return fields;
}

std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&quot;", "\""}, {"&#39;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : kEntities) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), character);
    }
  }
  return text;
}

std::string Attribute(const std::string& tag, const std::string& name) {
  const std::regex pattern("\\s" + name + "=(\"([^\"]*)\"|([^\\s>]*))", std::regex::icase);
  std::smatch match;
  if (!std::regex_search(tag, match, pattern)) return {};
  return Unescaped(match[2].matched ? match[2].str() : match[3].str());
}

// Every submit button of the page as "name=value", form-encoded.
std::vector<std::string> Buttons(const std::string& page) {
  std::vector<std::string> buttons;
  static const std::regex kInput("<input[^>]*>", std::regex::icase);
  for (auto it = std::sregex_iterator(page.begin(), page.end(), kInput); it != std::sregex_iterator(); ++it) {
    const std::string tag = it->str();
    if (Attribute(tag, "type") != "submit" || Attribute(tag, "name").empty()) continue;
    buttons.push_back(LURIEncode(Attribute(tag, "name")) + "=" + LURIEncode(Attribute(tag, "value")));
  }
  return buttons;
}

// The paths the page's forms send to.
std::set<std::string> Actions(const std::string& page) {
  std::set<std::string> actions;
  static const std::regex kForm("<form[^>]*>", std::regex::icase);
  for (auto it = std::sregex_iterator(page.begin(), page.end(), kForm); it != std::sregex_iterator(); ++it) {
    const std::string action = Attribute(it->str(), "action");
    if (!action.empty() && action.find("://") == std::string::npos) actions.insert(action);
  }
  return actions;
}

class NoActionOnGetTest : public HoursPagesTest {
 protected:
  // Every file under the data root by its path: its mode and bytes; for a
  // session, who it logs on (what a page puts there for its navigation, the
  // chosen user or dates, is no logon).
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    const std::string root = InstallRoot();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      const std::string path = entry.path().string();
      const std::string relative = path.substr(root.size());
      if (WrittenByReading(relative)) continue;
      struct stat info {};
      ::stat(path.c_str(), &info);
      std::string state = std::to_string(info.st_mode) + " ";
      if (relative.find("/SessionData/") != std::string::npos) {
        LHashTable session;
        session.LoadHTTPString(KavrixReadFile(path));
        state += std::string("user=") + session.GetParm("user") + " stacon=" + session.GetParm("stacon");
      } else {
        state += KavrixReadFile(path);
      }
      files[relative] = state;
    }
    return files;
  }

  static std::string Differences(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
    std::string text;
    for (const auto& [path, state] : after) {
      const auto was = before.find(path);
      if (was == before.end())
        text += " made " + path;
      else if (was->second != state)
        text += " changed " + path;
    }
    for (const auto& [path, state] : before) {
      if (after.count(path) == 0) text += " removed " + path;
    }
    return text;
  }

  std::string PostFromPanel(const std::string& path, const std::string& body, const std::string& session) {
    const std::string own = "127.0.0.1:" + std::to_string(Port());
    return Exchange("POST /" + path + " HTTP/1.0\r\nHost: " + own + "\r\nOrigin: http://" + own +
                    "\r\nCookie: sess=" + session + "\r\nContent-Type: application/x-www-form-urlencoded\r\n" +
                    "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
};

TEST_F(NoActionOnGetTest, EveryFormSentByGetChangesNothing) {
  const std::string other = "seluser=" + LURIEncode(Email("staff2")) + "&edit=true";
  std::string wrong;
  int sent = 0;
  for (const char* who : {"boss", "staff", ""}) {
    for (const LWebScriptEntry& row : WebScriptArray()) {
      if (kLeftOut.count(row.path) != 0) continue;
      for (const std::string& query : {std::string(), other}) {
        const std::string session = *who != '\0' ? SessionOf(who) : std::string();
        const std::string shown = std::string(row.path) + (query.empty() ? "" : "?" + query);
        const std::string page = Get(shown, session);
        const std::string fields = Encode(ActingFields(row.path, HtmlPage(page).Fields()), "");
        std::set<std::string> actions = Actions(page);
        actions.insert(row.path);
        std::vector<std::string> buttons = Buttons(page);
        buttons.push_back("submit=++OK++");
        const auto before = Snapshot();
        for (const std::string& action : actions) {
          for (const std::string& button : buttons) {
            const char* glue = action.find('?') == std::string::npos ? "?" : "&";
            Get(action + glue + fields + "&" + button, session);
            ++sent;
          }
        }
        const std::string changed = Differences(before, Snapshot());
        if (!changed.empty()) wrong += "\n  /" + shown + " as " + (*who ? who : "nobody") + ":" + changed;
      }
    }
  }
  EXPECT_GT(sent, 300);
  EXPECT_TRUE(wrong.empty()) << "forms that acted on a GET:" << wrong;
}

// The two links of the report, and the same fields posted from the panel.
TEST_F(NoActionOnGetTest, ALinkNeitherMakesAnAdministratorNorLogsOn) {
  const std::string boss = SessionOf("boss");
  const std::string seluser = "seluser=" + LURIEncode(Email("staff"));
  HtmlFields fields = HtmlPage(Get("userdetail?" + seluser, boss)).Fields();
  fields.emplace_back(std::to_string(kKXDetailAdmin), "on");
  const std::string form = Encode(fields, "submit=++OK++");
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));

  const std::string shown = Get("userdetail?" + seluser + "&" + form, boss);
  EXPECT_TRUE(Contains(shown, "<form action=\"userdetail\" method=post>")) << shown;
  EXPECT_FALSE(staff.IsAdministrator());
  PostFromPanel("userdetail?" + seluser, form, boss);
  EXPECT_TRUE(staff.IsAdministrator());

  const std::string logon = Get("logon?101=" + LURIEncode(Email("staff")) + "&102=pw&submit=Logon");
  EXPECT_FALSE(Contains(logon, "Set-Cookie")) << logon;
  EXPECT_TRUE(Contains(Visible(logon), "Password:"));
  EXPECT_FALSE(Contains(logon, "value=\"pw\"")) << "a password from a link stands in the form";
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/SessionData").size(), 1u) << "the link made a session";
  EXPECT_FALSE(LogOn(Email("staff"), "pw").empty());
}

}  // namespace
