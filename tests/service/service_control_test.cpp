#include "service/service_control.h"
#include "service/service_stop.h"

#include <sys/prctl.h>
#include <sys/socket.h>

#include "foundation/settings_sections.h"
#include "program_support.h"
#include "service/console_installer.h"
#include "service/init_script.h"
#include "service/stop_semaphore.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

namespace {

using ServiceControlTest = ServiceInstallTest;
const std::string kStopMessage("\x34\x12\x01\x01\0\0\0\0\0\0\0\0\0\0\0\0", 16);

}  // namespace

TEST_F(ServiceControlTest, StopWithoutARunningServiceConnectsNowhere) {
  LUniqueFd listener = KavrixBindUnix(paths_.controlSocket);
  EXPECT_TRUE(LServiceStop(paths_));
  ASSERT_EQ(fcntl(listener.Get(), F_SETFL, O_NONBLOCK), 0);
  EXPECT_LT(accept(listener.Get(), nullptr, nullptr), 0);
  EXPECT_TRUE(LServiceWaitSemaphore(paths_.stopSemaphore, 0));
  // An unlistable process folder means the service may run.
  paths_.procFolder = TempDir() + "/no-proc";
  EXPECT_FALSE(LServiceStop(paths_));
}

TEST_F(ServiceControlTest, StopFailsAtOnceWhenTheControlSocketIsMissing) {
  FakeRunningService();
  EXPECT_FALSE(LServiceStop(paths_));
  // The semaphore made for the handshake is not left behind.
  EXPECT_TRUE(LServiceWaitSemaphore(paths_.stopSemaphore, 0));
}

// The service's side reads the message; only when it also removes the
// semaphore does the stop succeed, else it fails once the wait is over.
TEST_F(ServiceControlTest, StopSendsTheStopMessageAndWaitsForTheSemaphoreToGo) {
  FakeRunningService();
  LUniqueFd listener = KavrixBindUnix(paths_.controlSocket);
  for (const bool confirms : {true, false}) {
    paths_.stopWaitMs = confirms ? 5000 : 0;
    std::string received;
    std::thread service([&] {
      LUniqueFd connection(accept(listener.Get(), nullptr, nullptr));
      received = KavrixRecvUntilClose(connection.Get());
      if (confirms) LServiceClearSemaphore(paths_.stopSemaphore);
    });
    EXPECT_EQ(LServiceStop(paths_), confirms);
    service.join();
    EXPECT_EQ(received, kStopMessage);
  }
}

TEST_F(ServiceControlTest, InstallWritesTheScriptAndCopiesTheProgram) {
  EXPECT_FALSE(LServiceInstall(TempDir() + "/missing", paths_));
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
  const std::string program = TempDir() + "/program";
  const std::string bytes("\x7f" "ELF\0\1\2binary\xff", 14);
  ASSERT_TRUE(KavrixWriteFile(program, bytes));
  ASSERT_TRUE(KavrixWriteFile(paths_.initScript, "old script that is much longer than nothing\n"));
  ASSERT_EQ(chmod(paths_.initScript.c_str(), 0666), 0);
  EXPECT_TRUE(LServiceInstall(program, paths_));
  EXPECT_EQ(KavrixReadFile(paths_.initScript), LServiceInitScriptText(paths_.serviceExecutable));
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), bytes);
  EXPECT_EQ(KavrixFileMode(paths_.initScript), 0755u);
  EXPECT_EQ(KavrixFileMode(paths_.serviceExecutable), 0755u);
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable + ".new"));
}

// A failed update-rc.d leaves "Enabled" alone when turning on; off is
// recorded whatever it says.
TEST_F(ServiceControlTest, AutoRunOnAndOff) {
  FakeUpdateRc(1);
  EXPECT_FALSE(LServiceSetAutoRun(true, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled", "unset"), "unset");
  EXPECT_FALSE(LServiceSetAutoRun(false, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "0");
  ASSERT_EQ(unlink((TempDir() + "/update-rc.log").c_str()), 0);
  FakeUpdateRc(0);
  EXPECT_TRUE(LServiceSetAutoRun(true, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "1");
  EXPECT_TRUE(LServiceAutoRunLinkExists(paths_));
  EXPECT_TRUE(LServiceSetAutoRun(false, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "0");
  EXPECT_EQ(KavrixReadFile(TempDir() + "/update-rc.log"), "kavrixserverd defaults 19\n-f kavrixserverd remove\n");
}

TEST_F(ServiceControlTest, AutoRunLinkNeedsTheExactShape) {
  EXPECT_FALSE(LServiceAutoRunLinkExists(paths_));
  for (const char* near : {"K01kavrixserverd", "S1kavrixserverd", "S01kavrixserverd2", "Sx1kavrixserverd"}) {
    ASSERT_TRUE(KavrixWriteFile(TempDir() + "/rc3.d/" + near, ""));
  }
  EXPECT_FALSE(LServiceAutoRunLinkExists(paths_));
  ASSERT_TRUE(KavrixWriteFile(paths_.runLevelLink, ""));
  EXPECT_TRUE(LServiceAutoRunLinkExists(paths_));
}

TEST_F(ServiceControlTest, UninstallRemovesTheFilesOnlyOnceTheServiceIsStopped) {
  ASSERT_TRUE(KavrixWriteFile(paths_.initScript, "script"));
  ASSERT_TRUE(KavrixWriteFile(paths_.serviceExecutable, "program"));
  FakeRunningService();
  FakeUpdateRc(0);
  EXPECT_FALSE(LServiceUninstall(paths_));
  EXPECT_EQ(LConsoleUninstall(paths_), 1);  // its init script is no script
  EXPECT_TRUE(KavrixFileExists(paths_.initScript));
  EXPECT_TRUE(KavrixFileExists(paths_.serviceExecutable));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/update-rc.log"));
  ASSERT_EQ(unlink((paths_.procFolder + "/321/status").c_str()), 0);
  EXPECT_TRUE(LServiceUninstall(paths_));
  EXPECT_FALSE(KavrixFileExists(paths_.initScript));
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
}

TEST_F(ServiceControlTest, StartCopiesTheRunningProgramAndRestartsTheService) {
  WriteScript(paths_.initScript, "echo \"$1\" >> " + TempDir() + "/init.log\n");
  LServiceSetProgramPath((TempDir() + "/missing").c_str());
  EXPECT_FALSE(LServiceStart(paths_));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/init.log"));
  const std::string program = TempDir() + "/program";
  ASSERT_TRUE(KavrixWriteFile(program, "new program"));
  LServiceSetProgramPath(program.c_str());
  EXPECT_TRUE(LServiceStart(paths_));
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), "new program");
  EXPECT_EQ(KavrixReadFile(TempDir() + "/init.log"), "restart\n");
}

// End to end: the generated init script really runs start-stop-daemon, which
// starts the copied program as the daemon and stops it again with SIGTERM.
TEST_F(ServiceControlTest, ConsoleInstallStartsTheServiceAndUninstallRemovesIt) {
  FakeUpdateRc(0);
  EXPECT_EQ(LConsoleInstall(TempDir() + "/missing", paths_), 1);
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/update-rc.log"));
  if (getuid() != 0) GTEST_SKIP() << "start-stop-daemon -c root needs root";
  if (!KavrixFileExists("/lib/lsb/init-functions")) GTEST_SKIP() << "no LSB init functions";
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), KavrixFreeLoopbackPort()));

  EXPECT_EQ(LConsoleInstall(KavrixProgramPath(), paths_), 0);
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), KavrixReadFile(KavrixProgramPath()));
  EXPECT_EQ(KavrixReadFile(paths_.initScript), LServiceInitScriptText(paths_.serviceExecutable));
  EXPECT_TRUE(KavrixFileExists(TempDir() + "/rc3.d/S01kavrixserverd"));
  EXPECT_FALSE(KavrixFileExists(paths_.systemdUnit));
  const std::vector<pid_t> daemons = KavrixAdoptedDaemons(paths_.serviceExecutable);
  ASSERT_EQ(daemons.size(), 1u);

  EXPECT_EQ(LConsoleUninstall(paths_), 0);
  EXPECT_EQ(WaitExit(daemons[0]), 0);
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
  EXPECT_FALSE(KavrixFileExists(paths_.initScript));
  EXPECT_EQ(KavrixReadFile(TempDir() + "/update-rc.log"), "kavrixserverd defaults 19\n-f kavrixserverd remove\n");
}
