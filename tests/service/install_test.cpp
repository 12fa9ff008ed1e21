// The console installer and uninstaller end to end, with the whole
// installation in the test's folder: the generated init script really runs
// start-stop-daemon, which really starts the copied program as the daemon
// and stops it again with SIGTERM.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "program_support.h"
#include "service/console_installer.h"
#include "service/init_script.h"
#include "support/temp_root.h"

namespace {

class ConsoleInstallTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    const char* user = getenv("USER");
    savedUser_ = user != nullptr ? user : "";
    setenv("USER", "root", 1);
    for (const char* folder : {"/sbin", "/init.d", "/rc3.d", "/proc"}) {
      ASSERT_EQ(mkdir((TempDir() + folder).c_str(), 0755), 0);
    }
    paths_.serviceExecutable = TempDir() + "/sbin/kavrixserverd";
    paths_.initScript = TempDir() + "/init.d/kavrixserverd";
    paths_.runLevelLink = TempDir() + "/rc3.d/S19kavrixserverd";
    // The daemon started here is stopped by the init script; the search of
    // the control channel's stop then looks at an empty process folder, so
    // that services of other tests running meanwhile do not count.
    paths_.procFolder = TempDir() + "/proc";
    paths_.updateRc = TempDir() + "/update-rc.d";
    paths_.stopSemaphore = "kavrix-test-install-" + std::to_string(getpid());
    paths_.controlSocket = TempDir() + "/.spipe.kavrixserverd";
    const std::string updateRc = "#!/bin/sh\necho \"$*\" >> " + TempDir() +
                                 "/update-rc.log\n[ \"$2\" = defaults ] && ln -s ../init.d/kavrixserverd " +
                                 TempDir() + "/rc3.d/S01kavrixserverd\nexit 0\n";
    ASSERT_TRUE(KavrixWriteFile(paths_.updateRc, updateRc));
    ASSERT_EQ(chmod(paths_.updateRc.c_str(), 0755), 0);
    std::filesystem::create_directories(SharedFolder());
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), KavrixFreePort()));
  }
  void TearDown() override {
    setenv("USER", savedUser_.c_str(), 1);
    KavrixTempRoot::TearDown();
  }

  LServicePaths paths_;
  std::string savedUser_;
};

}  // namespace

TEST_F(ConsoleInstallTest, InstallStartsTheServiceAndUninstallRemovesIt) {
  if (getuid() != 0) GTEST_SKIP() << "start-stop-daemon -c root needs root";
  if (!KavrixFileExists("/lib/lsb/init-functions")) GTEST_SKIP() << "no LSB init functions";
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);

  EXPECT_EQ(LConsoleInstall(KavrixProgramPath(), paths_), 0);
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), KavrixReadFile(KavrixProgramPath()));
  EXPECT_EQ(KavrixReadFile(paths_.initScript), LServiceInitScriptText(paths_.serviceExecutable));
  EXPECT_TRUE(KavrixFileExists(TempDir() + "/rc3.d/S01kavrixserverd"));
  const std::vector<pid_t> daemons = KavrixAdoptedDaemons(paths_.serviceExecutable);
  ASSERT_EQ(daemons.size(), 1u);

  EXPECT_EQ(LConsoleUninstall(paths_), 0);
  int status = 0;
  ASSERT_EQ(waitpid(daemons[0], &status, 0), daemons[0]);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
  EXPECT_FALSE(KavrixFileExists(paths_.initScript));
  EXPECT_EQ(KavrixReadFile(TempDir() + "/update-rc.log"), "kavrixserverd defaults 19\n-f kavrixserverd remove\n");
}

TEST_F(ConsoleInstallTest, UninstallKeepsEverythingWhenTheServiceCannotBeStopped) {
  ASSERT_TRUE(KavrixWriteFile(paths_.initScript, "#!/bin/sh\nexit 1\n"));
  ASSERT_EQ(chmod(paths_.initScript.c_str(), 0755), 0);
  ASSERT_TRUE(KavrixWriteFile(paths_.serviceExecutable, "program"));
  ASSERT_EQ(mkdir((paths_.procFolder + "/77").c_str(), 0755), 0);
  ASSERT_TRUE(KavrixWriteFile(paths_.procFolder + "/77/status", "Name:\tkavrixserverd\n"));
  EXPECT_EQ(LConsoleUninstall(paths_), 1);
  EXPECT_TRUE(KavrixFileExists(paths_.initScript));
  EXPECT_TRUE(KavrixFileExists(paths_.serviceExecutable));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/update-rc.log"));
}

TEST_F(ConsoleInstallTest, InstallFailsWithoutTheProgram) {
  EXPECT_EQ(LConsoleInstall(TempDir() + "/missing", paths_), 1);
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/update-rc.log"));
}
