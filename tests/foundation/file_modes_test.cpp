// Modes of the data: what the server makes has its own modes whatever the
// umask, and a tree made before is narrowed, never widened, without
// following links.

#include "foundation/file_modes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "foundation/mode_tightening.h"
#include "support/temp_root.h"

namespace {

class FileModesTest : public KavrixTempRoot {
 protected:
  void TearDown() override {
    umask(savedMask_);
    KavrixTempRoot::TearDown();
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 01;
  }
  void Make(const std::string& name, mode_t mode, bool folder = false) {
    const std::string path = TempDir() + "/" + name;
    if (folder) {
      ASSERT_EQ(mkdir(path.c_str(), 0700), 0) << name;
    } else {
      ASSERT_TRUE(KavrixWriteFile(path, "x")) << name;
    }
    ASSERT_EQ(chmod(path.c_str(), mode), 0) << name;
  }

  mode_t savedMask_ = umask(022);
};

TEST_F(FileModesTest, MadeWithItsOwnModeWhateverTheUmaskAndExistingOnesKept) {
  umask(077);  // narrower than every mode made: a mode left to the umask shows
  const std::string data = TempDir() + "/data", own = TempDir() + "/own";
  EXPECT_TRUE(LUniqueFd(LOpenCreating(data, O_WRONLY | O_CREAT)) && LCreateFolderWithMode(data + "folder") &&
              LUniqueFd(LOpenCreating(own, O_RDWR | O_CREAT | O_EXCL, kLOwnerFileMode)));
  EXPECT_EQ(std::vector<mode_t>({ModeOf(data), ModeOf(own), ModeOf(data + "folder")}),
            std::vector<mode_t>({kLDataFileMode, kLOwnerFileMode, kLDataFolderMode}));
  Make("kept", 0604);
  Make("keptfolder", 0755, true);
  EXPECT_TRUE(LUniqueFd(LOpenCreating(TempDir() + "/kept", O_WRONLY | O_CREAT | O_APPEND)) &&
              LCreateFolderWithMode(TempDir() + "/keptfolder"));
  EXPECT_TRUE(ModeOf(TempDir() + "/kept") == 0604u && ModeOf(TempDir() + "/keptfolder") == 0755u);
}

TEST_F(FileModesTest, ATreeIsNarrowedNeverWidenedAndLinksAreLeftAlone) {
  Make("t", 0755, true);
  const struct { const char* name; bool folder; mode_t before; mode_t after; } entries[] = {
      {"t/records", false, 0644, 0640}, {"t/strict", false, 0600, 0600}, {"t/setuid", false, 04660, 0660},
      {"t/sub", true, 0777, 02770}, {"t/SessionData", true, 0755, 0700}, {"t/SessionData/s1", false, 0644, 0600},
  };
  for (const auto& e : entries) Make(e.name, e.before, e.folder);
  const std::string outside = TempDir() + "/outside";
  ASSERT_TRUE(KavrixWriteFile(outside, "x"));
  ASSERT_EQ(chmod(outside.c_str(), 0644), 0);
  ASSERT_EQ(symlink(outside.c_str(), (TempDir() + "/t/link").c_str()), 0);
  ASSERT_EQ(mkfifo((TempDir() + "/t/pipe").c_str(), 0666), 0);
  const LTreeModesException sessions{"SessionData", {kLOwnerFileMode, kLOwnerFolderMode}};
  const LModeTightening first = LTightenTreeModes(TempDir() + "/t", {kLDataFileMode, kLDataFolderMode}, {sessions}, {});
  EXPECT_TRUE(first.narrowed == 6 && first.failed == 0);  // the five wider entries and the root
  EXPECT_EQ(ModeOf(TempDir() + "/t"), 02750u);
  for (const auto& e : entries) EXPECT_EQ(ModeOf(TempDir() + "/" + e.name), e.after) << e.name;
  EXPECT_TRUE(ModeOf(outside) == 0644u && ModeOf(TempDir() + "/t/pipe") == (0666u & ~022u));
  EXPECT_EQ(LTightenTreeModes(TempDir() + "/t", {kLDataFileMode, kLDataFolderMode}, {sessions}, {}).narrowed, 0);
}

}  // namespace
