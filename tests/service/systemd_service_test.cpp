// The service as a systemd unit, with a systemctl that only notes its calls.
// The real program installed under the machine's own paths is tested in
// systemd_install_test.sh, inside a mount namespace.

#include "service/systemd_service.h"

#include "foundation/settings_sections.h"
#include "program_support.h"
#include "service/console_installer.h"
#include "service/systemd_unit.h"
#include "support/test_helpers.h"

namespace {

class SystemdServiceTest : public ServiceInstallTest {
 protected:
  std::string Calls() { return KavrixReadFile(TempDir() + "/systemctl.log"); }
};

}  // namespace

// The unit's text itself is checked where it is used: systemd_install_test.sh
// has systemd-analyze verify it and runs its command with its environment.
TEST(SystemdUnit, OnlyPlainAbsolutePathsGoIntoTheUnit) {
  EXPECT_TRUE(LServiceUnitPathIsPlain("/srv/kavrix-data_2/v1.0+x"));
  for (const char* odd : {"", "opt/mardel", "/opt/my data", "/opt/%h", "/opt/\xc3\xa9"}) {
    EXPECT_FALSE(LServiceUnitPathIsPlain(odd)) << odd;
  }
}

// The desktop's start of the service copies the running program, then goes
// through systemctl only when the unit is installed and systemd runs;
// otherwise through the init script. Without the program nothing is run.
TEST_F(SystemdServiceTest, StartRestartsTheUnitOrTheInitScript) {
  WriteScript(paths_.initScript, "echo \"init $1\" >> " + TempDir() + "/systemctl.log\n");
  LServiceSetProgramPath((TempDir() + "/missing").c_str());
  EXPECT_FALSE(LServiceStart(paths_));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/systemctl.log"));
  const std::string program = TempDir() + "/program";
  ASSERT_TRUE(KavrixWriteFile(program, "new program"));
  LServiceSetProgramPath(program.c_str());
  const struct {
    bool unit;
    bool systemd;
    const char* call;
  } cases[] = {
      {false, true, "init restart\n"},
      {true, true, "restart kavrixserverd.service\n"},
  };
  for (const auto& c : cases) {
    rmdir(paths_.systemdRunFolder.c_str());
    if (c.systemd) FakeSystemd();
    unlink(paths_.systemdUnit.c_str());
    if (c.unit) { ASSERT_TRUE(KavrixWriteFile(paths_.systemdUnit, "unit")); }
    unlink((TempDir() + "/systemctl.log").c_str());
    EXPECT_TRUE(LServiceStart(paths_));
    EXPECT_EQ(Calls(), c.call) << c.unit << c.systemd;
    EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), "new program");
  }
}

// A failing systemctl step ends the install with status 1 and no further
// calls: an install that did not enable the unit must not say it did.
TEST_F(SystemdServiceTest, AFailingStepEndsTheInstallWithOne) {
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/program", "program bytes"));
  FakeSystemd("enable");
  EXPECT_EQ(LConsoleInstall(TempDir() + "/program", paths_), 1);
  EXPECT_EQ(Calls(), "daemon-reload\nenable kavrixserverd.service\n");
}
