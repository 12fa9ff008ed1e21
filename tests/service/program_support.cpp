#include "program_support.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "service/stop_semaphore.h"

bool KavrixWriteRoutingPort(const std::string& sharedFolder, uint16_t port) {
  std::error_code error;
  std::filesystem::create_directories(sharedFolder, error);
  return KavrixWriteFile(sharedFolder + "/routing", "localport=" + std::to_string(port) + "\r\n");
}

std::vector<pid_t> KavrixAdoptedDaemons() {
  std::vector<pid_t> found;
  const std::string parentLine = "\nPPid:\t" + std::to_string(getpid()) + "\n";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string status = KavrixReadFile(entry.path().string() + "/status");
    if (status.find(parentLine) == std::string::npos || status.rfind("Name:\tkavrixserverd\n", 0) != 0) continue;
    found.push_back(static_cast<pid_t>(atoi(entry.path().filename().c_str())));
  }
  return found;
}

std::string KavrixReadLine(int fd) {
  std::string line;
  char c;
  for (;;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 30000) <= 0 || read(fd, &c, 1) != 1) return line.empty() ? "<end>" : line;
    if (c == '\n') return line;
    line += c;
  }
}

LUniqueFd KavrixBindUnix(const std::string& path, bool listening) {
  LUniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      (listening && listen(fd.Get(), 5) != 0)) {
    fd.Reset();
  }
  return fd;
}

unsigned KavrixFileMode(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 01;
}

void ServiceInstallTest::SetUp() {
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
  // No systemd unless a test makes this folder.
  paths_.systemdRunFolder = TempDir() + "/run-systemd";
  ASSERT_EQ(mkdir((TempDir() + "/system").c_str(), 0755), 0);
  paths_.systemdUnit = TempDir() + "/system/kavrixserverd.service";
  paths_.systemctl = TempDir() + "/systemctl";
}

void ServiceInstallTest::TearDown() {
  LServiceClearSemaphore(paths_.stopSemaphore);
  setenv("USER", savedUser_.c_str(), 1);
  KavrixTempRoot::TearDown();
}

void ServiceInstallTest::WriteScript(const std::string& path, const std::string& body) {
  ASSERT_TRUE(KavrixWriteFile(path, "#!/bin/sh\n" + body));
  ASSERT_EQ(chmod(path.c_str(), 0755), 0);
}

void ServiceInstallTest::FakeSystemd(const std::string& failingVerb) {
  mkdir(paths_.systemdRunFolder.c_str(), 0755);
  ASSERT_TRUE(KavrixFileExists(paths_.systemdRunFolder));
  WriteScript(paths_.systemctl,
              "echo \"$*\" >> " + TempDir() + "/systemctl.log\n[ \"$1\" != \"" + failingVerb + "\" ]\n");
}

void ServiceInstallTest::FakeRunningService() {
  ASSERT_EQ(mkdir((paths_.procFolder + "/321").c_str(), 0755), 0);
  ASSERT_TRUE(KavrixWriteFile(paths_.procFolder + "/321/status", "Name:\tkavrixserverd\n"));
}
