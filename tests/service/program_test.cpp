// The real program, started as a separate process: the foreground role, the
// daemon, and the roles this build does not offer.

#include <sys/prctl.h>

#include "program_support.h"
#include "service/root_prompt.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

namespace {

// Bound for a server that never answers: the test fails then instead of
// hanging. Nothing passes or fails by it; it is far above any normal start.
constexpr int kStartLimitMs = 30000;

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

class ProgramTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    unsetenv("DISPLAY");
    port_ = KavrixFreeLoopbackPort();
    ASSERT_NE(port_, 0);
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), port_));
  }

  // Starts the program with `argument`; its standard output comes through
  // output_, its standard error goes to a file of the test.
  pid_t Start(const char* argument) {
    TestPipe output;
    output_ = std::move(output.in);
    const std::string errors = TempDir() + "/stderr";
    const std::string program = KavrixProgramPath();
    return ForkChild([&] {
      dup2(output.out.Get(), 1);
      dup2(LUniqueFd(open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)).Get(), 2);
      output.out.Reset(), output_.Reset();
      execl(program.c_str(), "kavrixserver", argument, static_cast<char*>(nullptr));
      return 127;
    });
  }

  // The listener binds on its own thread just after the engine started, so
  // the first attempts may find the port still closed.
  std::string BodyOfGet(const std::string& path, std::string* whole = nullptr) {
    LUniqueFd fd = KavrixConnectLoopbackRetry(port_, kStartLimitMs);
    if (!fd || !KavrixSendAll(fd.Get(), "GET /" + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")) return "";
    const std::string response = KavrixRecvUntilClose(fd.Get(), kStartLimitMs);
    if (whole != nullptr) *whole = response;
    const size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? "" : response.substr(end + 4);
  }

  // The engine lays out the web root in the data folder when it starts.
  std::string StaticFile(const char* name) { return KavrixReadFile(SharedFolder() + "/webcontrol/" + name); }

  uint16_t port_ = 0;
  LUniqueFd output_;
};

}  // namespace

TEST_F(ProgramTest, ForegroundServesHttpAndStopsCleanlyOnSigterm) {
  const pid_t server = Start("-foreground");
  ASSERT_GT(server, 0);
  EXPECT_EQ(ReadLine(output_.Get()),
            "KavrixServer is running: open http://127.0.0.1:" + std::to_string(port_) + "/");
  std::string response;
  EXPECT_NE(StaticFile("s.css"), "");
  EXPECT_EQ(BodyOfGet("s.css", &response), StaticFile("s.css"));
  EXPECT_EQ(response.rfind("HTTP/1.", 0), 0u) << response;
  EXPECT_NE(response.find(" 200 "), std::string::npos) << response;
  ASSERT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(WaitExit(server), 0);
  // The log went to standard error as well, start and stop included.
  const std::string errors = KavrixReadFile(TempDir() + "/stderr");
  for (const char* line : {" Starting server\n", " Server Started\n", " Stopping server\n"}) {
    EXPECT_NE(errors.find(line), std::string::npos) << line << errors;
  }
}

// Half of the connections send a request that never ends; one more is
// answered meanwhile, and an interrupt still ends the server cleanly.
TEST_F(ProgramTest, ForegroundStopsOnInterruptWithManyOpenConnections) {
  const pid_t server = Start("-foreground");
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  std::vector<LUniqueFd> connections;
  for (int i = 0; i < 64; ++i) {
    connections.push_back(KavrixConnectLoopbackRetry(port_, kStartLimitMs));
    ASSERT_TRUE(connections.back()) << i;
    if (i % 2 == 0) {
      ASSERT_TRUE(KavrixSendAll(connections.back().Get(), "GET /s.css HTTP/1.0\r\n"));
    }
  }
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  ASSERT_EQ(kill(server, SIGINT), 0);
  EXPECT_EQ(WaitExit(server), 0);
}

TEST_F(ProgramTest, DaemonReleasesItsLauncherOnceStartedAndStopsOnSigterm) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  const pid_t launcher = Start("-service");
  ASSERT_GT(launcher, 0);
  EXPECT_EQ(WaitExit(launcher), 0);
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
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  ASSERT_EQ(kill(daemon, SIGTERM), 0);
  EXPECT_EQ(WaitExit(daemon), 0);
  // The daemon wrote nothing to the terminal it came from.
  EXPECT_EQ(KavrixReadFile(TempDir() + "/stderr"), "");
}

TEST_F(ProgramTest, DesktopRoleAndUnknownArgumentsEndWithTheirMessage) {
  const struct {
    const char* display;
    const char* argument;
    const char* line;
  } cases[] = {
      {":0", nullptr,
       "The KavrixServer control window is not part of this build yet; use -service or -foreground to run the "
       "server."},
      {nullptr, "-nonsense", "Usage: kavrixserver [-service | -foreground | -install | -uninstall]"},
  };
  for (const auto& c : cases) {
    if (c.display != nullptr) setenv("DISPLAY", c.display, 1);
    else unsetenv("DISPLAY");
    const pid_t program = Start(c.argument);
    ASSERT_GT(program, 0);
    EXPECT_EQ(ReadLine(output_.Get()), c.line);
    EXPECT_EQ(WaitExit(program), 1);
  }
}
