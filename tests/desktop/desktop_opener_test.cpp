#include "desktop/desktop_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "desktop/desktop_entry.h"
#include "foundation/settings_sections.h"
#include "support/temp_root.h"
#include "support/test_helpers.h"
#include "support/web_server_fixture.h"

namespace {

class DesktopOpenerTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    std::filesystem::create_directories(HomeFolder());
    savedPath_ = getenv("PATH") != nullptr ? getenv("PATH") : "";
    std::filesystem::create_directories(TempDir() + "/bin");
    // The openers run without a shell; /bin/sh is needed only by the
    // recording stand-ins themselves.
    setenv("PATH", (TempDir() + "/bin").c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    KavrixTempRoot::TearDown();
  }
  void StandIn(const std::string& name) {
    const std::string path = TempDir() + "/bin/" + name;
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' " << name << " \"$#\" \"$@\" > '" << Record() << ".tmp'\n/bin/mv '"
                        << Record() << ".tmp' '" << Record() << "'\n";
    chmod(path.c_str(), 0755);
  }
  std::string Record() const { return TempDir() + "/opened.txt"; }
  // The opener runs in the background; its stand-in writes the record whole.
  std::string Recorded() {
    EXPECT_TRUE(KavrixWaitUntil([&] { return KavrixFileExists(Record()); }));
    return KavrixReadFile(Record());
  }
  std::string savedPath_;
};

// A quote, a semicolon and a command substitution stay inside the one
// argument: no shell ever sees the address.
TEST_F(DesktopOpenerTest, XdgOpenGetsTheAddressAsOneArgument) {
  const std::string address = "http://localhost:89/a\"; touch injected; $(touch injected2)";
  StandIn("xdg-open");
  ASSERT_TRUE(LDesktopOpen(address));
  EXPECT_EQ(Recorded(), "xdg-open\n1\n" + address + "\n");
  EXPECT_FALSE(std::filesystem::exists(TempDir() + "/injected"));
  EXPECT_FALSE(std::filesystem::exists("injected2"));
  std::filesystem::remove_all(TempDir() + "/bin");
  EXPECT_FALSE(LDesktopOpen(address));
}

TEST_F(DesktopOpenerTest, AutoRunAndShortcutLiveInTheUsersHome) {
  ASSERT_TRUE(LDesktopCreateShortcut());
  const std::string shortcut = HomeFolder() + "/Desktop/kavrixserver.desktop";
  EXPECT_EQ(std::filesystem::status(shortcut).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::owner_exec);

  const std::string autostart = HomeFolder() + "/.config/autostart/kavrixserver.desktop";
  ASSERT_TRUE(LDesktopSetAutoRun(true));
  EXPECT_TRUE(LDesktopAutoRunRegistered());
  EXPECT_EQ(LSettingGetString("Settings", "AutoRun"), "1");
  EXPECT_EQ(KavrixReadFile(autostart).rfind("[Desktop Entry]\nType=Application\nName=KavrixServer\n", 0), 0u);
  ASSERT_TRUE(LDesktopSetAutoRun(false));
  EXPECT_FALSE(std::filesystem::exists(autostart));
  EXPECT_EQ(LSettingGetString("Settings", "AutoRun"), "0");
}

}  // namespace
