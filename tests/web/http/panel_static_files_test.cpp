// The help pages compiled into the program: every one the pages name is
// there, and they link only to help pages that exist. (That the webroot files
// the pages ask for are served is a step of the browser test.)

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>

#include "web/http/embedded_files.h"

namespace {

std::map<std::string, std::string_view> FilesOf(std::string_view folder) {
  std::map<std::string, std::string_view> files;
  for (const LEmbeddedFile& file : LEmbeddedStaticFiles()) {
    if (file.folder == folder) {
      files[file.name] = std::string_view(reinterpret_cast<const char*>(file.data), file.size);
    }
  }
  return files;
}

}  // namespace

TEST(PanelStaticFiles, EveryHelpPageThePagesNameIsCompiledIn) {
  const auto help = FilesOf("help");
  for (const char* name :
       {"index", "login", "password", "changeemail", "timeperiod", "timesheet", "workhours", "manualactivity",
        "enterhours", "unexplainedabsence", "searchlist", "leaveform", "pendingleaverequests", "leavereport",
        "userlist", "userdetails", "addmanager", "addtoteam", "deleteuser", "activity", "screenshot", "appusage",
        "docanalyse", "auditlog", "myaudit", "config", "routing", "team", "leavetype", "holiday"}) {
    EXPECT_TRUE(help.count(std::string(name) + ".html")) << name;
  }
}

// Help pages open in a window of their own; a dead link there is a dead end.
TEST(PanelStaticFiles, HelpPagesLinkOnlyToHelpPages) {
  const auto help = FilesOf("help");
  const std::regex link("href=\"([^\"]*)\"");
  std::set<std::string> linkedFromContents;
  for (const auto& [name, bytes] : help) {
    if (!name.ends_with(".html")) continue;
    const std::string text(bytes);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      EXPECT_TRUE(help.count(target)) << name << " links to " << target;
      if (name == "index.html") linkedFromContents.insert(target);
    }
  }
  // Every page is reachable from the contents.
  for (const auto& [name, bytes] : help) {
    if (name.ends_with(".html") && name != "index.html") {
      EXPECT_TRUE(linkedFromContents.count(name)) << name;
    }
  }
}
