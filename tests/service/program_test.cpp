// The real program, started as a separate process: the foreground role, the
// daemon, and the roles this build does not offer.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/unique_fd.h"
#include "program_support.h"
#include "service/root_prompt.h"
#include "support/temp_root.h"

namespace {

// Bounds for a server that never answers: the test fails then instead of
// hanging. Nothing passes or fails by these; they are far above any normal
// start.
constexpr int kStartLimitMs = 30000;
constexpr int kConnectAttempts = 300;



LUniqueFd ConnectOnce(uint16_t port) {
  LUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return LUniqueFd();
  return fd;
}

// The listener binds on its own thread just after the engine started, so
// the first attempts may find the port still closed.
LUniqueFd Connect(uint16_t port) {
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    LUniqueFd fd = ConnectOnce(port);
    if (fd) return fd;
    usleep(100 * 1000);
  }
  return LUniqueFd();
}

std::string ReadUntilClosed(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, kStartLimitMs) <= 0) return bytes;
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got <= 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

std::string HttpGet(uint16_t port, const std::string& path) {
  LUniqueFd fd = Connect(port);
  if (!fd) return "";
  const std::string request = "GET /" + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  if (write(fd.Get(), request.data(), request.size()) != static_cast<ssize_t>(request.size())) return "";
  return ReadUntilClosed(fd.Get());
}

// Reads one line of the child's standard output.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  for (;;) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, kStartLimitMs) <= 0 || read(fd, &c, 1) != 1 || c == '\n') return line;
    line += c;
  }
}

struct Exit {
  bool exited = false;
  int status = -1;
  int signal = 0;
};

Exit WaitFor(pid_t pid) {
  Exit result;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return result;
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return result;
}

class ProgramTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    unsetenv("DISPLAY");
    port_ = KavrixFreePort();
    ASSERT_NE(port_, 0);
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), port_));
  }

  // Starts the program with `argument`; its standard output comes through
  // output_, its standard error goes to a file of the test.
  pid_t Start(const char* argument) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    output_.Reset(ends[0]);
    LUniqueFd writeEnd(ends[1]);
    const std::string errors = TempDir() + "/stderr";
    const pid_t child = fork();
    if (child == 0) {
      dup2(writeEnd.Get(), 1);
      const int errorFd = open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      dup2(errorFd, 2);
      const std::string program = KavrixProgramPath();
      execl(program.c_str(), "kavrixserver", argument, static_cast<char*>(nullptr));
      _exit(127);
    }
    return child;
  }

  // The engine lays out the web root in the data folder when it starts.
  std::string StaticFile(const char* name) { return KavrixReadFile(SharedFolder() + "/webcontrol/" + name); }

  uint16_t port_ = 0;
  LUniqueFd output_;
};

// The body of an HTTP response (after the empty line).
std::string BodyOf(const std::string& response) {
  const size_t end = response.find("\r\n\r\n");
  return end == std::string::npos ? "" : response.substr(end + 4);
}

}  // namespace

TEST_F(ProgramTest, ForegroundServesHttpAndStopsCleanlyOnSigterm) {
  const pid_t server = Start("-foreground");
  ASSERT_GT(server, 0);
  EXPECT_EQ(ReadLine(output_.Get()),
            "KavrixServer is running: open http://127.0.0.1:" + std::to_string(port_) + "/");
  const std::string response = HttpGet(port_, "s.css");
  EXPECT_EQ(response.rfind("HTTP/1.", 0), 0u) << response;
  EXPECT_NE(response.find(" 200 "), std::string::npos) << response;
  EXPECT_NE(StaticFile("s.css"), "");
  EXPECT_EQ(BodyOf(response), StaticFile("s.css"));
  ASSERT_EQ(kill(server, SIGTERM), 0);
  const Exit exit = WaitFor(server);
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, 0);
  // The log went to standard error as well, start and stop included.
  const std::string errors = KavrixReadFile(TempDir() + "/stderr");
  EXPECT_NE(errors.find(" Starting server\n"), std::string::npos) << errors;
  EXPECT_NE(errors.find(" Server Started\n"), std::string::npos) << errors;
  EXPECT_NE(errors.find(" Stopping server\n"), std::string::npos) << errors;
}

TEST_F(ProgramTest, ForegroundStopsOnInterruptToo) {
  const pid_t server = Start("-foreground");
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  ASSERT_EQ(kill(server, SIGINT), 0);
  const Exit exit = WaitFor(server);
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, 0);
}

TEST_F(ProgramTest, ForegroundStopsWithManyOpenConnections) {
  const pid_t server = Start("-foreground");
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  std::vector<LUniqueFd> connections;
  for (int i = 0; i < 64; ++i) {
    LUniqueFd fd = Connect(port_);
    ASSERT_TRUE(fd) << i;
    // Half of them send a request that never ends.
    if (i % 2 == 0) {
      ASSERT_EQ(write(fd.Get(), "GET /s.css HTTP/1.0\r\n", 21), 21);
    }
    connections.push_back(std::move(fd));
  }
  // Answered while the others hang.
  EXPECT_EQ(BodyOf(HttpGet(port_, "s.css")), StaticFile("s.css"));
  ASSERT_EQ(kill(server, SIGTERM), 0);
  const Exit exit = WaitFor(server);
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, 0);
}

TEST_F(ProgramTest, DaemonReleasesItsLauncherOnceStartedAndStopsOnSigterm) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  const pid_t launcher = Start("-service");
  ASSERT_GT(launcher, 0);
  const Exit launched = WaitFor(launcher);
  EXPECT_TRUE(launched.exited);
  EXPECT_EQ(launched.status, 0);
  if (!LIsUserRoot()) {
    EXPECT_EQ(ReadLine(output_.Get()), "Daemon cannot be started without root permissions.");
  }
  const std::vector<pid_t> daemons = KavrixAdoptedDaemons();
  ASSERT_EQ(daemons.size(), 1u);
  const pid_t daemon = daemons[0];
  char cwd[16] = {};
  EXPECT_EQ(readlink(("/proc/" + std::to_string(daemon) + "/cwd").c_str(), cwd, sizeof(cwd) - 1), 1);
  EXPECT_STREQ(cwd, "/");
  EXPECT_EQ(getsid(daemon), daemon);
  EXPECT_EQ(BodyOf(HttpGet(port_, "s.css")), StaticFile("s.css"));
  ASSERT_EQ(kill(daemon, SIGTERM), 0);
  const Exit exit = WaitFor(daemon);
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, 0);
  // The daemon wrote nothing to the terminal it came from.
  EXPECT_EQ(KavrixReadFile(TempDir() + "/stderr"), "");
}

TEST_F(ProgramTest, DesktopRoleIsNotPartOfThisBuild) {
  setenv("DISPLAY", ":0", 1);
  const pid_t program = Start(nullptr);
  ASSERT_GT(program, 0);
  EXPECT_EQ(ReadLine(output_.Get()),
            "The KavrixServer control window is not part of this build yet; use -service or -foreground to "
            "run the server.");
  EXPECT_EQ(WaitFor(program).status, 1);
}

TEST_F(ProgramTest, UnknownArgumentPrintsTheUsage) {
  const pid_t program = Start("-nonsense");
  ASSERT_GT(program, 0);
  EXPECT_EQ(ReadLine(output_.Get()), "Usage: kavrixserver [-service | -foreground | -install | -uninstall]");
  EXPECT_EQ(WaitFor(program).status, 1);
}
