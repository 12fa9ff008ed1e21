#include <sys/stat.h>

#include <string>
#include <vector>

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "support/temp_root.h"
#include "support/time_zone.h"

namespace {

// 2010-01-04 09:30:00 UTC, a Monday.
constexpr LDateTime kMonday(1262597400);

class CoreDataPathsTest : public KavrixTempRoot {
 protected:
  std::string DefaultRoot() const { return SharedFolder() + "/Archive"; }
  KavrixScopedTimeZone zone_{"UTC"};
};

TEST(CoreDataFolderNameTest, FilterCutAndLowerCase) {
  struct Case {
    std::string user;
    std::string folder;
  };
  const std::vector<Case> cases = {
      {"Ann.Smith@Example.COM", "annsmith@examplecom"},
      {"a\"b*c.d/e:f<g>h?i\\j|k@x", "abcdefghijk@x"},
      {std::string("t\x01\x1f\tab\r\n@x", 10), "tab@x"},
      {"Ünïcode\x7f@X", "Ünïcode\x7f@x"},  // only ASCII letters are lowered
      {"sp ace@x", "sp ace@x"},
      {"..", ""},
      {"/./\\", ""},
      {"", ""},
      {std::string(300, 'A'), std::string(259, 'a')},
      // The cut comes after the filter: 300 kept bytes, not 300 input bytes.
      {std::string(100, '.') + std::string(300, 'b'), std::string(259, 'b')},
  };
  for (const Case& c : cases) EXPECT_EQ(LKXCoreData::GetUserFolderName(c.user), c.folder) << c.user;
}

TEST_F(CoreDataPathsTest, ArchiveRootIsTheSettingOrTheSharedArchiveFolder) {
  EXPECT_EQ(LKXCoreData::GetArchiveRoot(), DefaultRoot());
  EXPECT_TRUE(KavrixFileExists(DefaultRoot()));
  const std::string configured = TempDir() + "/data";
  ASSERT_TRUE(LSettingSetString("Settings", "SystemArchiveFolder", std::string_view(configured)));
  EXPECT_EQ(LKXCoreData::GetArchiveRoot(), configured);
  EXPECT_FALSE(KavrixFileExists(configured));  // the configured root is not created
  std::string folder;
  // The user's folder is still named; appends into it fail until the root exists.
  EXPECT_TRUE(LKXCoreData::GetUserArchiveFolder("a@x", folder));
  EXPECT_EQ(folder, configured + "/a@x");
  EXPECT_FALSE(KavrixFileExists(folder));
}

TEST_F(CoreDataPathsTest, PathsOfOneUser) {
  const std::string folder = DefaultRoot() + "/ann@examplecom";
  std::string out;
  ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("Ann@Example.com", out));
  EXPECT_EQ(out, folder);
  ASSERT_TRUE(LKXCoreData::GetUserActivityLogCSV("Ann@Example.com", kMonday, out));
  EXPECT_EQ(out, folder + "/2010-01-04_activity.csv");
  ASSERT_TRUE(LKXCoreData::GetUserManualLogCSV("Ann@Example.com", kMonday, out));
  EXPECT_EQ(out, folder + "/2010-01-04_manual.csv");
  ASSERT_TRUE(LKXCoreData::GetUserLeaveLogCSV("Ann@Example.com", "2010", out));
  EXPECT_EQ(out, folder + "/2010_leave.csv");
  ASSERT_TRUE(LKXCoreData::GetScreenFolder("Ann@Example.com", kMonday, out, false));
  EXPECT_EQ(out, folder + "/2010-01-04_qascreens");
  // Naming the log files creates nothing but the user's folder.
  EXPECT_TRUE(KavrixFileExists(folder));
  EXPECT_FALSE(KavrixFileExists(folder + "/2010-01-04_qascreens"));
  EXPECT_FALSE(KavrixFileExists(folder + "/2010-01-04_activity.csv"));
}

TEST_F(CoreDataPathsTest, FoldersAreCreatedWithMode0777UnderTheUmask) {
  const mode_t old_mask = umask(0);
  std::string folder;
  std::string screens;
  const bool got = LKXCoreData::GetUserArchiveFolder("a@x", folder) &&
                   LKXCoreData::GetScreenFolder("a@x", kMonday, screens, true);
  umask(old_mask);
  ASSERT_TRUE(got);
  for (const std::string& path : {folder, screens}) {
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0777u) << path;
  }
}

TEST_F(CoreDataPathsTest, ScreenFolderOfAnUnsetDayIsNeverCreated) {
  std::string out;
  ASSERT_TRUE(LKXCoreData::GetScreenFolder("a@x", LDateTime(), out, true));
  EXPECT_EQ(out, DefaultRoot() + "/a@x/_qascreens");
  EXPECT_FALSE(KavrixFileExists(out));
}

TEST_F(CoreDataPathsTest, AddressesDifferingInCaseOrFullStopsShareOneFolder) {
  std::string first;
  std::string second;
  ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("john.doe@example.com", first));
  ASSERT_TRUE(LKXCoreData::GetUserArchiveFolder("JohnDoe@EXAMPLE.com", second));
  EXPECT_EQ(first, second);
}

// Whatever the address, a user's folder is a direct child of the archive
// root that is neither "." nor ".."; an address whose name filters away to
// nothing gets no folder at all rather than the archive root itself.
TEST_F(CoreDataPathsTest, NoAddressEscapesTheArchiveRoot) {
  const std::vector<std::string> hostile = {
      "../../etc/passwd", "..", ".", "/", "\\..\\..", "\"\"", "a/../../b", std::string("\x01\x02.\x1f", 4),
      "~root", "%2e%2e%2f@x", std::string(300, '/'), std::string(300, 'x') + "/..", "*?:<>|"};
  const std::string root = DefaultRoot();
  for (const std::string& user : hostile) {
    std::string folder = "unchanged";
    const bool named = LKXCoreData::GetUserArchiveFolder(user, folder);
    const std::string name = LKXCoreData::GetUserFolderName(user);
    if (name.empty()) {
      EXPECT_FALSE(named) << user;
      EXPECT_EQ(folder, "") << user;
      std::string log;
      EXPECT_FALSE(LKXCoreData::GetUserActivityLogCSV(user, kMonday, log)) << user;
      EXPECT_FALSE(LKXCoreData::LogActivity(user, kMonday, 60, 0, 1, 1, "app", "cap")) << user;
      continue;
    }
    if (!named) {  // too long for a path buffer
      EXPECT_EQ(folder, "") << user;
      continue;
    }
    EXPECT_EQ(folder.substr(0, root.size() + 1), root + "/") << user;
    const std::string child = folder.substr(root.size() + 1);
    EXPECT_EQ(child.find('/'), std::string::npos) << user;
    EXPECT_NE(child, ".");
    EXPECT_NE(child, "..");
  }
  // Nothing was written beside the archive root, and nothing into it but folders.
  EXPECT_FALSE(KavrixFileExists(SharedFolder() + "/_activity.csv"));
  EXPECT_FALSE(KavrixFileExists(root + "/2010-01-04_activity.csv"));
}

// A path longer than a path buffer would be cut into the name of another
// file (an activity log cut to "..._act"), so it is refused whole.
TEST_F(CoreDataPathsTest, PathsThatWouldBeCutAreRefused) {
  const std::size_t room = LKXCoreData::kMaxPath - (DefaultRoot().size() + 1);  // bytes left for the name
  const std::string fits(room - std::string("/2010-01-04_activity.csv").size(), 'u');
  std::string out;
  ASSERT_TRUE(LKXCoreData::GetUserActivityLogCSV(fits, kMonday, out));
  EXPECT_EQ(out.size(), LKXCoreData::kMaxPath);
  EXPECT_FALSE(LKXCoreData::GetUserActivityLogCSV(fits + "u", kMonday, out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(LKXCoreData::GetUserManualLogCSV(fits + "u", kMonday, out));  // "_manual" is shorter
  // A 300-byte address: its folder name (259 bytes) cannot fit under the root.
  EXPECT_FALSE(LKXCoreData::GetUserArchiveFolder(std::string(300, 'x'), out));
}

TEST_F(CoreDataPathsTest, LeaveYearMustBeDigits) {
  struct Case {
    std::string year;
    bool accepted;
  };
  const std::vector<Case> cases = {{"2010", true}, {"999", true},       {"", false},      {"20100", false},
                                   {"20a0", false}, {"../x", false},    {"..", false},    {"/", false},
                                   {" 201", false}, {std::string("20\0" "1", 4), false}};
  for (const Case& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(LKXCoreData::GetUserLeaveLogCSV("a@x", c.year, out), c.accepted) << c.year;
    if (!c.accepted) {
      EXPECT_EQ(out, "") << c.year;
    }
  }
}

TEST(CoreDataCalendarTest, CalendarFunctionsAreThoseOfTheCoreData) {
  KavrixScopedTimeZone zone("UTC");
  EXPECT_EQ(LKXCoreData::GetNextYearMonth("2009-12"), "2010-01");
  EXPECT_EQ(LKXCoreData::ChangeDayTimeToTimeZone(0, 120, LDayTime::FromHMS(23, 30, 0)), LDayTime::FromHMS(1, 30, 0));
}

}  // namespace
