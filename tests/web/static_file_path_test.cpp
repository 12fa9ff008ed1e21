#include "web/static_file_path.h"

#include <gtest/gtest.h>

TEST(StaticFilePath, HelpPagesAndWebRootFiles) {
  EXPECT_EQ(LWebletStaticFilePath("s.css", "/r/webcontrol", "/r/help"), "/r/webcontrol/s.css");
  EXPECT_EQ(LWebletStaticFilePath("img/a.gif", "/r/webcontrol", "/r/help"),
            "/r/webcontrol/img/a.gif");
  EXPECT_EQ(LWebletStaticFilePath("help/login.html", "/r/webcontrol", "/r/help"),
            "/r/help/login.html");
  EXPECT_EQ(LWebletStaticFilePath("Help/login.html", "/r/webcontrol", "/r/help"),
            "/r/webcontrol/Help/login.html");
  EXPECT_EQ(LWebletStaticFilePath("helpers.js", "/r/webcontrol", "/r/help"),
            "/r/webcontrol/helpers.js");
}

TEST(StaticFilePath, LeadingSlashesStayInsideTheFolder) {
  // "GET //etc/passwd" has the page name "/etc/passwd".
  EXPECT_EQ(LWebletStaticFilePath("/etc/passwd", "/r/webcontrol", "/r/help"),
            "/r/webcontrol/etc/passwd");
  EXPECT_EQ(LWebletStaticFilePath("help//etc/passwd", "/r/webcontrol", "/r/help"),
            "/r/help/etc/passwd");
  EXPECT_EQ(LWebletStaticFilePath("/etc/passwd", "", "/r/help"), "");
  EXPECT_EQ(LWebletStaticFilePath("help/x", "/r/webcontrol", ""), "");
}

TEST(StaticFilePath, LongNamesAreCut) {
  EXPECT_EQ(LWebletStaticFilePath(std::string(300, 'a'), "/r", "/h").size(), 259u);
}
