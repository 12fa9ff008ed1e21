#include "desktop/user_autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "desktop/desktop_entry.h"
#include "foundation/settings_sections.h"
#include "service/service_paths.h"
#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

class UserAutostartTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    // Root hands the entries to other accounts; anyone else can only test
    // with accounts of its own.
    uid_ = geteuid() == 0 ? 4001 : geteuid();
    gid_ = geteuid() == 0 ? 4001 : getegid();
  }
  std::string Home(const std::string& name) const { return TempDir() + "/homes/" + name; }
  void MakeHome(const std::string& name, uid_t uid) {
    fs::create_directories(Home(name));
    ASSERT_EQ(chown(Home(name).c_str(), uid, gid_), 0);
  }
  // The accounts of a passwd file inside the test folder: the machine's own
  // homes are never touched. root's line names the real /root on purpose.
  std::string PasswdFile() {
    std::string text = "root:x:0:0:root:/root:/bin/sh\nnobody:x:65534:65534::" + Home("nobody") + ":/bin/false\n";
    for (const char* name : {"bob", "carol", "mallory", "daemon"}) {
      text += std::string(name) + ":x:" + std::to_string(uid_) + ":" + std::to_string(gid_) + "::" + Home(name) +
              ":/bin/sh\n";
    }
    const std::string path = TempDir() + "/passwd";
    EXPECT_TRUE(KavrixWriteFile(path, text));
    return path;
  }
  static uid_t Owner(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_uid : static_cast<uid_t>(-1);
  }
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

constexpr char kBobSession[] =
    "[Default]\nnum_clients=1\n0,RestartStyleHint=3\n0,Priority=50\n0,RestartCommand=gnome-panel\n"
    "0,Program=gnome-panel\n\n[Chooser]\nCurrentSession=Default\n";

TEST_F(UserAutostartTest, EveryAccountButRootAndNobodyIsRegisteredAndRemovedAgain) {
  MakeHome("nobody", 65534);
  MakeHome("bob", uid_);
  fs::create_directories(Home("bob") + "/.gnome2");
  ASSERT_TRUE(KavrixWriteFile(Home("bob") + "/" + kLGnomeSessionFile, kBobSession));
  MakeHome("carol", uid_);
  // A planted link must be replaced, not written through.
  MakeHome("mallory", uid_);
  fs::create_directories(Home("mallory") + "/.config/autostart");
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/victim", "precious\n"));
  fs::create_symlink(TempDir() + "/victim", Home("mallory") + "/.config/autostart/kavrixserver.desktop");
  // A system account living in a folder it does not own is left alone.
  fs::create_directories(Home("daemon"));
  if (geteuid() == 0) {
    ASSERT_EQ(chown(Home("daemon").c_str(), 0, 0), 0);
  } else {
    fs::remove(Home("daemon"));
  }
  for (const char* name : {"bob", "mallory"}) {
    fs::path folder = Home(name);
    for (const char* part : {".gnome2", ".gnome2/session-manual", ".config", ".config/autostart"}) {
      if (fs::exists(folder / part)) (void)lchown((folder / part).c_str(), uid_, gid_);
    }
  }

  const std::string passwd = PasswdFile();
  ASSERT_TRUE(LDesktopSetAutoRunForAllUsers(true, passwd));
  EXPECT_EQ(LSettingGetString("Settings", "AutoRun"), "1");
  const std::string entry = LDesktopEntryText(LServiceProgramPath());
  for (const std::string& path : {Home("carol") + "/.config/autostart/kavrixserver.desktop",
                                  Home("mallory") + "/.config/autostart/kavrixserver.desktop"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path))) << path;
    EXPECT_EQ(KavrixReadFile(path), entry) << path;
    EXPECT_EQ(Owner(path), uid_) << path;
  }
  EXPECT_EQ(Owner(Home("carol") + "/.config"), uid_);
  EXPECT_EQ(KavrixReadFile(TempDir() + "/victim"), "precious\n");
  EXPECT_FALSE(fs::exists(Home("bob") + "/.config"));
  EXPECT_EQ(KavrixReadFile(Home("bob") + "/" + kLGnomeSessionFile),
            "[Default]\nnum_clients=2\n0,RestartStyleHint=3\n0,Priority=50\n0,RestartCommand=gnome-panel\n"
            "0,Program=gnome-panel\n1,RestartStyleHint=3\n1,Priority=50\n1,RestartCommand=kavrixserver\n"
            "1,Program=kavrixserver\n\n[Chooser]\nCurrentSession=Default\n");
  EXPECT_EQ(KavrixFolderEntries(Home("nobody")), std::vector<std::string>{});
  if (geteuid() == 0) {
    EXPECT_EQ(KavrixFolderEntries(Home("daemon")), std::vector<std::string>{});
  }

  ASSERT_TRUE(LDesktopSetAutoRunForAllUsers(false, passwd));
  EXPECT_EQ(LSettingGetString("Settings", "AutoRun"), "0");
  EXPECT_EQ(KavrixReadFile(Home("bob") + "/" + kLGnomeSessionFile), kBobSession);
  EXPECT_FALSE(fs::exists(Home("carol") + "/.config/autostart/kavrixserver.desktop"));
}

TEST_F(UserAutostartTest, LinkedSessionFilesAndFoldersAreRefused) {
  const LDesktopUserAccount account{"eve", uid_, gid_, Home("eve")};
  MakeHome("eve", uid_);
  fs::create_directories(Home("eve") + "/.gnome2");
  (void)lchown((Home("eve") + "/.gnome2").c_str(), uid_, gid_);
  // A hard link to a file the user may not read would be copied into a file
  // of the user's own.
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/secret", "[Default]\nsecret=1\n"));
  fs::create_hard_link(TempDir() + "/secret", Home("eve") + "/" + kLGnomeSessionFile);
  EXPECT_FALSE(LDesktopSetUserAutostart(account, true));
  EXPECT_EQ(KavrixReadFile(TempDir() + "/secret"), "[Default]\nsecret=1\n");

  // A linked .config leads elsewhere: nothing is made there.
  fs::remove_all(Home("eve") + "/.gnome2");
  fs::create_directories(TempDir() + "/elsewhere");
  fs::create_directory_symlink(TempDir() + "/elsewhere", Home("eve") + "/.config");
  EXPECT_FALSE(LDesktopSetUserAutostart(account, true));
  EXPECT_EQ(KavrixFolderEntries(TempDir() + "/elsewhere"), std::vector<std::string>{});
}

}  // namespace
