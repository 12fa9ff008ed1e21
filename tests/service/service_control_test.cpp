#include "service/service_control.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "service/init_script.h"
#include "service/stop_semaphore.h"
#include "support/temp_root.h"

namespace {

// The whole installation lives in the test's folder; USER=root makes the
// root-prompt commands run directly with the shell.
class ServiceControlTest : public KavrixTempRoot {
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
    paths_.procFolder = TempDir() + "/proc";
    paths_.updateRc = TempDir() + "/update-rc.d";
    paths_.stopSemaphore = "kavrix-test-stop-" + std::to_string(getpid());
    paths_.controlSocket = TempDir() + "/.spipe.kavrixserverd";
  }
  void TearDown() override {
    LServiceClearSemaphore(paths_.stopSemaphore);
    setenv("USER", savedUser_.c_str(), 1);
    KavrixTempRoot::TearDown();
  }

  void WriteScript(const std::string& path, const std::string& body) {
    ASSERT_TRUE(KavrixWriteFile(path, "#!/bin/sh\n" + body));
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
  }

  // update-rc.d that notes its arguments and makes the link the way current
  // systems do (their own sequence number).
  void FakeUpdateRc(int exitStatus) {
    WriteScript(paths_.updateRc, "echo \"$*\" >> " + TempDir() + "/update-rc.log\n" +
                                     "[ \"$2\" = defaults ] && ln -s ../init.d/kavrixserverd " + TempDir() +
                                     "/rc3.d/S01kavrixserverd\nexit " + std::to_string(exitStatus) + "\n");
  }

  void FakeRunningService() {
    ASSERT_EQ(mkdir((paths_.procFolder + "/321").c_str(), 0755), 0);
    ASSERT_TRUE(KavrixWriteFile(paths_.procFolder + "/321/status", "Name:\tkavrixserverd\n"));
  }

  LUniqueFd ListenOnControlSocket() {
    LUniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, paths_.controlSocket.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(listen(fd.Get(), 5), 0);
    return fd;
  }

  LServicePaths paths_;
  std::string savedUser_;
};

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[64];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof(buffer))) > 0) bytes.append(buffer, static_cast<size_t>(got));
  return bytes;
}

const std::string kStopMessage("\x34\x12\x01\x01\0\0\0\0\0\0\0\0\0\0\0\0", 16);

}  // namespace

TEST_F(ServiceControlTest, StopWithoutARunningServiceTouchesNothing) {
  LUniqueFd listener = ListenOnControlSocket();
  EXPECT_TRUE(LServiceStop(paths_));
  // No connection was made.
  ASSERT_EQ(fcntl(listener.Get(), F_SETFL, O_NONBLOCK), 0);
  EXPECT_LT(accept(listener.Get(), nullptr, nullptr), 0);
  EXPECT_TRUE(LServiceWaitSemaphore(paths_.stopSemaphore, 0));
}

TEST_F(ServiceControlTest, StopSendsTheStopMessageAndWaitsForTheSemaphoreToGo) {
  FakeRunningService();
  LUniqueFd listener = ListenOnControlSocket();
  std::string received;
  // The service's side: read the message, stop, remove the semaphore.
  std::thread service([&] {
    LUniqueFd connection(accept(listener.Get(), nullptr, nullptr));
    received = ReadAll(connection.Get());
    LServiceClearSemaphore(paths_.stopSemaphore);
  });
  EXPECT_TRUE(LServiceStop(paths_));
  service.join();
  EXPECT_EQ(received, kStopMessage);
}

TEST_F(ServiceControlTest, StopFailsWhenTheServiceDoesNotConfirm) {
  FakeRunningService();
  LUniqueFd listener = ListenOnControlSocket();
  std::thread service([&] {
    LUniqueFd connection(accept(listener.Get(), nullptr, nullptr));
    ReadAll(connection.Get());
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(LServiceStop(paths_));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5000));
  service.join();
}

TEST_F(ServiceControlTest, StopFailsAtOnceWhenTheControlSocketIsMissing) {
  FakeRunningService();
  EXPECT_FALSE(LServiceStop(paths_));
  // The semaphore made for the handshake is not left behind.
  EXPECT_TRUE(LServiceWaitSemaphore(paths_.stopSemaphore, 0));
}

TEST_F(ServiceControlTest, UnlistableProcessFolderMeansTheServiceMayRun) {
  paths_.procFolder = TempDir() + "/no-proc";
  EXPECT_FALSE(LServiceStop(paths_));
}

TEST_F(ServiceControlTest, InstallWritesTheScriptAndCopiesTheProgram) {
  const std::string program = TempDir() + "/program";
  const std::string bytes("\x7f" "ELF\0\1\2binary\xff", 14);
  ASSERT_TRUE(KavrixWriteFile(program, bytes));
  ASSERT_TRUE(KavrixWriteFile(paths_.initScript, "old script that is much longer than nothing\n"));
  ASSERT_EQ(chmod(paths_.initScript.c_str(), 0666), 0);
  EXPECT_TRUE(LServiceInstall(program, paths_));
  EXPECT_EQ(KavrixReadFile(paths_.initScript), LServiceInitScriptText(paths_.serviceExecutable));
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), bytes);
  struct stat script {}, executable {};
  ASSERT_EQ(stat(paths_.initScript.c_str(), &script), 0);
  ASSERT_EQ(stat(paths_.serviceExecutable.c_str(), &executable), 0);
  EXPECT_EQ(script.st_mode & 07777, 0755u);
  EXPECT_EQ(executable.st_mode & 07777, 0755u);
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable + ".new"));
}

TEST_F(ServiceControlTest, InstallOfAMissingProgramFails) {
  EXPECT_FALSE(LServiceInstall(TempDir() + "/missing", paths_));
  EXPECT_TRUE(KavrixFileExists(paths_.initScript));
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
}

TEST_F(ServiceControlTest, AutoRunOnAndOff) {
  FakeUpdateRc(0);
  EXPECT_TRUE(LServiceSetAutoRun(true, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "1");
  EXPECT_TRUE(LServiceAutoRunLinkExists(paths_));
  EXPECT_TRUE(LServiceSetAutoRun(false, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "0");
  EXPECT_EQ(KavrixReadFile(TempDir() + "/update-rc.log"), "kavrixserverd defaults 19\n-f kavrixserverd remove\n");
}

TEST_F(ServiceControlTest, FailedUpdateRcLeavesTheSettingAlone) {
  FakeUpdateRc(1);
  EXPECT_FALSE(LServiceSetAutoRun(true, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled", "unset"), "unset");
  EXPECT_FALSE(LServiceSetAutoRun(false, paths_));
  EXPECT_EQ(LSettingGetString("Service", "Enabled"), "0");
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
  EXPECT_FALSE(LServiceUninstall(paths_));
  EXPECT_TRUE(KavrixFileExists(paths_.initScript));
  EXPECT_TRUE(KavrixFileExists(paths_.serviceExecutable));
  ASSERT_EQ(unlink((paths_.procFolder + "/321/status").c_str()), 0);
  EXPECT_TRUE(LServiceUninstall(paths_));
  EXPECT_FALSE(KavrixFileExists(paths_.initScript));
  EXPECT_FALSE(KavrixFileExists(paths_.serviceExecutable));
}

TEST_F(ServiceControlTest, StartCopiesTheRunningProgramAndRestartsTheService) {
  const std::string program = TempDir() + "/program";
  ASSERT_TRUE(KavrixWriteFile(program, "new program"));
  WriteScript(paths_.initScript, "echo \"$1\" >> " + TempDir() + "/init.log\n");
  LServiceSetProgramPath(program.c_str());
  EXPECT_TRUE(LServiceStart(paths_));
  EXPECT_EQ(KavrixReadFile(paths_.serviceExecutable), "new program");
  EXPECT_EQ(KavrixReadFile(TempDir() + "/init.log"), "restart\n");
}

TEST_F(ServiceControlTest, StartFailsWhenTheCopyFails) {
  LServiceSetProgramPath((TempDir() + "/missing").c_str());
  WriteScript(paths_.initScript, "echo \"$1\" >> " + TempDir() + "/init.log\n");
  EXPECT_FALSE(LServiceStart(paths_));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/init.log"));
}
