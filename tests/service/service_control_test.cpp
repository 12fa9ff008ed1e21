#include "service/service_control.h"
#include "service/service_stop.h"

#include <sys/socket.h>

#include "program_support.h"
#include "service/init_script.h"
#include "service/stop_semaphore.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

namespace {

using ServiceControlTest = ServiceInstallTest;
const std::string kStopMessage("\x34\x12\x01\x01\0\0\0\0\0\0\0\0\0\0\0\0", 16);

}  // namespace

// Without a running service the stop connects nowhere and succeeds; with
// one, a missing socket fails at once and leaves no semaphore. Otherwise
// the stop message is sent and the stop succeeds only when the service
// removes the semaphore in time.
TEST_F(ServiceControlTest, StopSendsTheStopMessageAndWaitsForTheSemaphoreToGo) {
  LUniqueFd listener = KavrixBindUnix(paths_.controlSocket);
  EXPECT_TRUE(LServiceStop(paths_));
  ASSERT_EQ(fcntl(listener.Get(), F_SETFL, O_NONBLOCK), 0);
  EXPECT_LT(accept(listener.Get(), nullptr, nullptr), 0);
  ASSERT_EQ(fcntl(listener.Get(), F_SETFL, 0), 0);
  FakeRunningService();
  LServicePaths noSocket = paths_;
  noSocket.controlSocket = TempDir() + "/none";
  EXPECT_FALSE(LServiceStop(noSocket));
  EXPECT_TRUE(LServiceWaitSemaphore(paths_.stopSemaphore, 0));
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

// The init-script way in one pass: a missing program installs nothing; an
// install replaces an older, wider script; the uninstall removes both only
// once the service has stopped.
TEST_F(ServiceControlTest, InstallWritesTheScriptAndTheProgramUninstallWaitsForTheStop) {
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
  FakeRunningService();
  EXPECT_FALSE(LServiceUninstall(paths_));
  EXPECT_TRUE(KavrixFileExists(paths_.initScript) && KavrixFileExists(paths_.serviceExecutable));
  ASSERT_EQ(unlink((paths_.procFolder + "/321/status").c_str()), 0);
  EXPECT_TRUE(LServiceUninstall(paths_));
  EXPECT_FALSE(KavrixFileExists(paths_.initScript) || KavrixFileExists(paths_.serviceExecutable));
}
