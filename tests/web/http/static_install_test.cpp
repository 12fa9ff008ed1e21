#include "web/http/static_install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "support/temp_root.h"

namespace {

class StaticInstallTest : public KavrixTempRoot {
 protected:
  std::string WebRoot() const { return TempDir() + "/web"; }
  std::string Help() const { return TempDir() + "/deep/help"; }
};

const unsigned char kStyle[] = {'a', '{', '}'};
const unsigned char kBinary[] = {0x00, 0xFF, 0x0D, 0x0A, 0x00};
const unsigned char kPage[] = {'<', 'p', '>'};

const LEmbeddedFile kFiles[] = {
    {"webroot", "s.css", kStyle, sizeof kStyle},
    {"webroot", "images/print.gif", kBinary, sizeof kBinary},
    {"webroot", "empty.txt", kStyle, 0},
    {"help", "index.html", kPage, sizeof kPage},
};

}  // namespace

// Files already there are kept and a file where a folder should be is
// skipped; the rest is written with its folders, and nothing else.
TEST_F(StaticInstallTest, WritesMissingFilesWithTheirFolders) {
  std::filesystem::create_directories(WebRoot());
  ASSERT_TRUE(KavrixWriteFile(WebRoot() + "/s.css", "the office's own"));
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/deep", "not a folder"));
  EXPECT_EQ(LInstallStaticFiles(kFiles, WebRoot(), Help()), 2);
  EXPECT_EQ(KavrixReadFile(WebRoot() + "/s.css"), "the office's own");
  EXPECT_EQ(KavrixReadFile(WebRoot() + "/images/print.gif"), std::string("\0\xFF\r\n\0", 5));
  EXPECT_EQ(KavrixFolderEntries(WebRoot()), (std::vector<std::string>{"empty.txt", "images", "s.css"}));
  EXPECT_EQ(KavrixFolderEntries(WebRoot() + "/images"), std::vector<std::string>{"print.gif"});
  EXPECT_EQ(LInstallStaticFiles(kFiles, WebRoot(), Help()), 0);
  std::filesystem::remove(TempDir() + "/deep");
  EXPECT_EQ(LInstallStaticFiles(kFiles, WebRoot(), Help()), 1);
  EXPECT_EQ(KavrixReadFile(Help() + "/index.html"), "<p>");
}
