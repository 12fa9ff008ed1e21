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
};

// How a tree is narrowed (never widened, links left alone) is
// FileModesTest's; here, which trees and which exception.
TEST_F(DataModesTest, TheDataFolderSessionsAndAnArchiveElsewhereAreNarrowedAndToldOnce) {
  const std::string archive = TempDir() + "/archive";
  ASSERT_TRUE(LSettingSetString("Settings", "SystemArchiveFolder", archive));
  const struct {
    std::string path;
    mode_t after;
  } files[] = {
      {SharedFolder() + "/Users/ann", 0660},
      {SharedFolder() + "/SessionData/lsession1", 0600},
      {archive + "/ann@xexample/2026_leave.csv", 0660},
  };
  for (const auto& f : files) Make(f.path, 0666);
  EXPECT_EQ(LTightenDataModes({}).failed, 0);
  for (const auto& f : files) EXPECT_EQ(KavrixFileMode(f.path), f.after) << f.path;
  // The second walk changes nothing and says nothing.
  EXPECT_EQ(LTightenDataModes({}).narrowed, 0);
  const std::vector<std::string> log = KavrixLogMessages();
  const auto told = [](const std::string& line) { return line.rfind("Data folder: ", 0) == 0; };
  EXPECT_EQ(std::count_if(log.begin(), log.end(), told), 1);
}

}  // namespace
