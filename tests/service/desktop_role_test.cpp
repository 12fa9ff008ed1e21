// The desktop role in this process, with the whole service installation
// pointed into the test's folder: as root it tries to install and start the
// service there, and runs the engine itself when that fails.

#include "service/desktop_role.h"

#include <filesystem>

#include "foundation/log.h"
#include "foundation/write_all.h"
#include "program_support.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

namespace {

class DesktopRoleTest : public ServiceInstallTest {
 protected:
  void SetUp() override {
    ServiceInstallTest::SetUp();
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), KavrixFreeLoopbackPort()));
    // The service cannot start: its init script fails.
    WriteScript(paths_.initScript, "echo \"$*\" >> " + TempDir() + "/init.log\nexit 1\n");
  }
};

}  // namespace

TEST_F(DesktopRoleTest, AsRootWithoutAServiceItInstallsIntoItsPathsThenRunsTheEngineItself) {
  TestPipe input;
  ASSERT_TRUE(LWriteAll(input.out.Get(), "settings\nclose\n"));
  const std::string outputPath = TempDir() + "/desktop.out";
  LUniqueFd output(open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  LDesktopOptions options;
  options.paths = paths_;
  options.runOncePath = TempDir() + "/.runonce";
  options.inputFd = input.in.Get();
  options.outputFd = output.Get();
  const char* argv[] = {"kavrixserver"};
  EXPECT_EQ(LDesktopRun(1, argv, options), 0);
  // The start went to the test's installation, and only there.
  EXPECT_EQ(KavrixReadFile(TempDir() + "/init.log"), "restart\n");
  EXPECT_EQ(KavrixFolderEntries(TempDir() + "/sbin"), Strings{"kavrixserverd"});
  EXPECT_FALSE(KavrixFileExists(options.runOncePath));
  // The engine ran here, and the "settings" line restarted it (the
  // engine's own lines: MainEngineTest).
  const std::string shown = KavrixReadFile(outputPath);
  for (const char* line :
       {" Unable to start the background service! Will attempt to run in foreground.\n",
        " Restarting server\n", " KavrixServer Exit\n"}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
  }
}
