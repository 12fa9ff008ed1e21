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
    port_ = KavrixFreeLoopbackPort();
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), port_));
    // The service cannot start: its init script fails.
    WriteScript(paths_.initScript, "echo \"$*\" >> " + TempDir() + "/init.log\nexit 1\n");
  }

  uint16_t port_ = 0;
};

std::vector<std::string> Messages(const std::string& output) {
  std::vector<std::string> messages;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 9 && line[2] == ':' && line[5] == ':') messages.push_back(line.substr(9));
  }
  return messages;
}

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
  EXPECT_TRUE(KavrixFileExists(paths_.serviceExecutable));
  EXPECT_EQ(KavrixFolderEntries(TempDir() + "/sbin"), Strings{"kavrixserverd"});
  EXPECT_FALSE(KavrixFileExists(options.runOncePath));
  const Strings expected{"Unable to start the background service! Will attempt to run in foreground.",
                         "Starting server", "Server Started", "Restarting server", "Server Started",
                         "Stopping server", "KavrixServer Exit"};
  Strings messages = Messages(KavrixReadFile(outputPath));
  // Only the lines of the engine's start, change and stop, in their order.
  std::erase_if(messages, [&](const std::string& m) { return std::find(expected.begin(), expected.end(), m) == expected.end(); });
  EXPECT_EQ(messages, expected) << KavrixReadFile(outputPath);
}
