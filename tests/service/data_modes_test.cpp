// The service's narrowing of the data it owns: records, logs and archives
// for the service's user and group, sessions for the user alone, told in
// one log line.

#include "service/data_modes.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "foundation/settings_sections.h"
#include "program_support.h"
#include "support/log_reader.h"

namespace {

class DataModesTest : public KavrixTempRoot {
 protected:
  static void Make(const std::string& path, mode_t mode) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(KavrixWriteFile(path, "x")) << path;
    ASSERT_EQ(chmod(path.c_str(), mode), 0) << path;
  }
  static long LinesWith(const std::string& text) {
    const std::vector<std::string> log = KavrixLogMessages();
    return std::count_if(log.begin(), log.end(),
                         [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }
};

TEST_F(DataModesTest, TheDataFolderSessionsAndAnArchiveElsewhereAreNarrowedAndToldOnce) {
  const std::string archive = TempDir() + "/archive";
  ASSERT_TRUE(LSettingSetString("Settings", "SystemArchiveFolder", archive));
  const struct {
    std::string path;
    mode_t before;
    mode_t after;
  } files[] = {
      {SharedFolder() + "/Users/ann", 0644, 0640},
      {SharedFolder() + "/SessionData/lsession1", 0644, 0600},
      {archive + "/ann@xexample/2026_leave.csv", 0664, 0660},
      {archive + "/ann@xexample/kept.csv", 0600, 0600},
  };
  for (const auto& f : files) Make(f.path, f.before);
  ASSERT_EQ(chmod((SharedFolder() + "/SessionData").c_str(), 0755), 0);
  ASSERT_EQ(chmod((archive + "/ann@xexample").c_str(), 0777), 0);

  const LModeTightening first = LTightenDataModes({});
  EXPECT_GE(first.narrowed, 7);
  EXPECT_EQ(first.failed, 0);
  for (const auto& f : files) EXPECT_EQ(KavrixFileMode(f.path), f.after) << f.path;
  EXPECT_EQ(KavrixFileMode(SharedFolder() + "/SessionData"), 0700u);
  EXPECT_EQ(KavrixFileMode(archive + "/ann@xexample"), 02770u);
  const LModeTightening second = LTightenDataModes({});
  EXPECT_EQ(second.narrowed, 0);
  // Told once: the second walk changed nothing and says nothing.
  EXPECT_EQ(LinesWith("Data folder: " + std::to_string(first.narrowed) + " files"), 1);
  EXPECT_EQ(LinesWith("Data folder: "), 1);
}

}  // namespace
