// A link or another site's page can make a browser send any GET with the
// user's cookie. Every path of the URL table, as an administrator, a plain
// user and without a session, is sent the fields of each form its page shows
// with each of the form's buttons, by GET: no stored file and no logon may
// change. The same fields posted from the panel still act.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "hours_pages_fixture.h"
#include "web/pages/common/web_script_array.h"
#include "web/text/hash_table.h"
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

// Every submit button of the page as "name=value", form-encoded, and the
// bare "OK" of the dialogs.
std::vector<std::string> Buttons(const HtmlPage& page) {
  std::vector<std::string> buttons = {"submit=++OK++"};
  for (const HtmlElement* input : page.ByTag("input")) {
    if (input->Attribute("type") != "submit" || input->Attribute("name").empty()) continue;
    buttons.push_back(LURIEncode(input->Attribute("name")) + "=" + LURIEncode(input->Attribute("value")));
  }
  return buttons;
}

// The path of the URL table and the paths the page's forms send to.
std::set<std::string> Actions(const HtmlPage& page, const std::string& path) {
  std::set<std::string> actions = {path};
  for (const HtmlForm& form : page.Forms()) {
    if (!form.action.empty() && form.action.find("://") == std::string::npos) actions.insert(form.action);
  }
  return actions;
}

class NoActionOnGetTest : public HoursPagesTest {
 protected:
  // Every file under the data root by its path: its mode and a hash of its
  // bytes; for a session, who it logs on (what a page puts there for its
  // navigation, the chosen user or dates, is no logon).
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
        state += std::to_string(std::hash<std::string>{}(KavrixReadFile(path)));
      }
      files[relative] = state;
    }
    return files;
  }
};

TEST_F(NoActionOnGetTest, EveryFormSentByGetChangesNothing) {
  const std::string other = "seluser=" + LURIEncode(Email("staff2")) + "&edit=true";
  int sent = 0;
  for (const char* who : {"boss", "staff", ""}) {
    for (const LWebScriptEntry& row : WebScriptArray()) {
      if (kLeftOut.count(row.path) != 0) continue;
      for (const std::string& query : {std::string(), other}) {
        const std::string session = *who != '\0' ? SessionOf(who) : std::string();
        const std::string shown = std::string(row.path) + (query.empty() ? "" : "?" + query);
        const HtmlPage page(Get(shown, session));
        const std::string fields = Encode(ActingFields(row.path, page.Fields()), "");
        const auto before = Snapshot();
        for (const std::string& action : Actions(page, row.path)) {
          for (const std::string& button : Buttons(page)) {
            const char* glue = action.find('?') == std::string::npos ? "?" : "&";
            Get(action + glue + fields + "&" + button, session);
            ++sent;
          }
        }
        EXPECT_EQ(Snapshot(), before) << "a form acted on a GET of /" << shown << " as " << (*who ? who : "nobody");
      }
    }
  }
  EXPECT_GT(sent, 300);
  // The same fields posted do act: the GETs above were real attempts.
  const std::string detail = "userdetail?" + other;
  Post(detail, Encode(ActingFields("userdetail", HtmlPage(Get(detail, SessionOf("boss"))).Fields()), "submit=++OK++"),
       SessionOf("boss"));
  EXPECT_EQ(Text("staff2", "Name"), "Renamed");
}

}  // namespace
