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
  const std::pair<std::string, std::string> cases[] = {
      {"Ann.Smith@Example.COM", "annsmith@examplecom"}, {"a\"b*c.d/e:f<g>h?i\\j|k@x", "abcdefghijk@x"},
      {std::string("t\x01\x1f\tab\r\n@x", 10), "tab@x"},
      {"Ünïcode\x7f@X", "Ünïcode\x7f@x"},  // only ASCII letters are lowered
      // The cut comes after the filter: 300 kept bytes, not 300 input bytes.
      {std::string(100, '.') + std::string(300, 'b'), std::string(259, 'b')},
  };
  for (const auto& [user, folder] : cases) EXPECT_EQ(LKXCoreData::GetUserFolderName(user), folder) << user;
}

// A user's folder is a direct child of the archive root; an address whose
// name filters away to nothing gets no folder rather than the root itself.
TEST_F(CoreDataPathsTest, NoAddressEscapesTheArchiveRoot) {
  std::string folder = "unchanged";
  EXPECT_TRUE(LKXCoreData::GetUserArchiveFolder("a/../../b", folder) && folder == DefaultRoot() + "/ab");
  EXPECT_FALSE(LKXCoreData::GetUserArchiveFolder("/./", folder) || !folder.empty());
  EXPECT_EQ(KavrixFolderEntries(DefaultRoot()), std::vector<std::string>{"ab"});
}

// A path longer than a path buffer would be cut into the name of another
// file (an activity log cut to "..._act"), so it is refused whole.
TEST_F(CoreDataPathsTest, PathsThatWouldBeCutAreRefused) {
  const std::size_t room = LKXCoreData::kMaxPath - (DefaultRoot().size() + 1);  // bytes left for the name
  const std::string fits(room - std::string("/2010-01-04_activity.csv").size(), 'u');
  std::string out;
  ASSERT_TRUE(LKXCoreData::GetUserActivityLogCSV(fits, kMonday, out));
  EXPECT_EQ(out.size(), LKXCoreData::kMaxPath);
  EXPECT_TRUE(!LKXCoreData::GetUserActivityLogCSV(fits + "u", kMonday, out) && out.empty());
  EXPECT_TRUE(LKXCoreData::GetUserManualLogCSV(fits + "u", kMonday, out));  // "_manual" is shorter
}

}  // namespace
