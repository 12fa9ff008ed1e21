#include "web/static_file_path.h"

#include <gtest/gtest.h>

#include <string>

// Help pages come from the help folder ("help/" exactly); leading slashes
// ("GET //etc/passwd" names "/etc/passwd") stay inside the folder; no
// folder gives no path.
TEST(StaticFilePath, HelpPagesAndWebRootFilesStayInsideTheirFolder) {
  const struct {
    const char* name;
    const char* webRoot;
    const char* help;
    const char* path;
  } cases[] = {
      {"s.css", "/r/webcontrol", "/r/help", "/r/webcontrol/s.css"},
      {"img/a.gif", "/r/webcontrol", "/r/help", "/r/webcontrol/img/a.gif"},
      {"help/login.html", "/r/webcontrol", "/r/help", "/r/help/login.html"},
      {"Help/login.html", "/r/webcontrol", "/r/help", "/r/webcontrol/Help/login.html"},
      {"helpers.js", "/r/webcontrol", "/r/help", "/r/webcontrol/helpers.js"},
      {"/etc/passwd", "/r/webcontrol", "/r/help", "/r/webcontrol/etc/passwd"},
      {"help//etc/passwd", "/r/webcontrol", "/r/help", "/r/help/etc/passwd"},
      {"/etc/passwd", "", "/r/help", ""},
      {"help/x", "/r/webcontrol", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LWebletStaticFilePath(c.name, c.webRoot, c.help), c.path) << c.name;
  EXPECT_EQ(LWebletStaticFilePath(std::string(300, 'a'), "/r", "/h").size(), 259u);
}
