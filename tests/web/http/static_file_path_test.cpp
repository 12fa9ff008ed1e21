#include "web/http/static_file_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/temp_root.h"

class ContainedPathTest : public KavrixTempRoot {};

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
      {"help/login.html", "/r/webcontrol", "/r/help", "/r/help/login.html"},
      {"Help/login.html", "/r/webcontrol", "/r/help", "/r/webcontrol/Help/login.html"},
      {"/etc/passwd", "/r/webcontrol", "/r/help", "/r/webcontrol/etc/passwd"},
      {"help//etc/passwd", "/r/webcontrol", "/r/help", "/r/help/etc/passwd"},
      {"/etc/passwd", "", "/r/help", ""},
      {"help/x", "/r/webcontrol", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LWebletStaticFilePath(c.name, c.webRoot, c.help), c.path) << c.name;
  EXPECT_EQ(LWebletStaticFilePath(std::string(300, 'a'), "/r", "/h").size(), 259u);
}

// The one check of every file a page hands out: plain names only, links
// followed to where they end, regular files (or folders) inside the root.
TEST_F(ContainedPathTest, ContainedPathsStayInsideTheirRoot) {
  const std::string dir = TempDir();
  const std::string root = dir + "/files";
  ASSERT_EQ(::mkdir(root.c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((root + "/user").c_str(), 0700), 0);
  ASSERT_TRUE(KavrixWriteFile(root + "/user/a.csv", "") && KavrixWriteFile(dir + "/secret.csv", ""));
  ASSERT_EQ(::symlink((dir + "/secret.csv").c_str(), (root + "/user/out.csv").c_str()), 0);
  ASSERT_EQ(::symlink("a.csv", (root + "/user/in.csv").c_str()), 0);
  ASSERT_EQ(::symlink(dir.c_str(), (root + "/up").c_str()), 0);
  const struct {
    const char* folder;
    std::string file;
    bool served;
  } cases[] = {
      {"user", "a.csv", true},     {"user", "in.csv", true},    {"user", "out.csv", false},
      {"up", "secret.csv", false}, {"..", "secret.csv", false}, {"user", "/a.csv", false},
      {"user", ".", false},        {"user", "a\\b", false},     {"user", std::string("a.csv\0x", 7), false},
      {"", "a.csv", false},        {"user", "missing.csv", false},
  };
  for (const auto& c : cases) {
    std::string path;
    EXPECT_EQ(LWebletContainedFilePath(root, {c.folder, c.file}, path), c.served) << c.folder << "/" << c.file;
    EXPECT_EQ(path.empty(), !c.served);
  }
  std::string path;
  EXPECT_FALSE(LWebletContainedFilePath(root, {"user"}, path));  // a folder is no file
  EXPECT_TRUE(LWebletContainedFolderPath(root, {"user"}, path));
  EXPECT_FALSE(LWebletContainedFolderPath(root, {"up"}, path));
}
