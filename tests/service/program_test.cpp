// The real program, started as a separate process: the foreground role, the
// daemon, and the roles this build does not offer.

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ip_socket_tcp.h"
#include "foundation/file_modes.h"
#include "program_support.h"
#include "service/root_prompt.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "support/test_helpers.h"
#include "support/web_server_fixture.h"

namespace {

// Bound for a server that never answers: the test fails then instead of
// hanging. Nothing passes or fails by it.
constexpr int kStartLimitMs = 30000;
constexpr char kNoDescriptors[] = "no file descriptors left";

// A client whose connect gives up after a few seconds instead of waiting on
// a server that cannot accept.
LUniqueFd ConnectWithin(uint16_t port) {
  LUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const timeval limit{5, 0};
  setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) fd.Reset();
  return fd;
}

class ProgramTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    unsetenv("DISPLAY");
    port_ = KavrixFreeLoopbackPort();
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), port_));
  }

  // Starts the program with `argument`; its standard output comes through
  // output_, its standard error goes to the file "stderr" of the test. A
  // `fileLimit` above 0 is its open-file limit (soft; `hardFileLimit` hard).
  pid_t Start(const char* argument, long fileLimit = 0, long hardFileLimit = 0) {
    TestPipe output;
    output_ = std::move(output.in);
    const std::string errors = TempDir() + "/stderr";
    const std::string program = KavrixProgramPath();
    return ForkChild([&] {
      dup2(output.out.Get(), 1);
      dup2(LUniqueFd(open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)).Get(), 2);
      output.out.Reset(), output_.Reset();
      const rlimit limit{static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(hardFileLimit)};
      if (fileLimit > 0 && setrlimit(RLIMIT_NOFILE, &limit) != 0) return 126;
      execl(program.c_str(), "kavrixserver", argument, static_cast<char*>(nullptr));
      return 127;
    });
  }
  // The foreground server, once it says it runs.
  pid_t StartServer(long fileLimit = 0, long hardFileLimit = 0) {
    const pid_t pid = Start("-foreground", fileLimit, hardFileLimit);
    EXPECT_EQ(KavrixReadLine(output_.Get()),
              "KavrixServer is running: open http://127.0.0.1:" + std::to_string(port_) + "/");
    return pid;
  }
  static int Stop(pid_t pid, int signal = SIGTERM) { return kill(pid, signal) == 0 ? WaitExit(pid) : -1; }

  std::string Errors() { return KavrixReadFile(TempDir() + "/stderr"); }
  int CountInErrors(const std::string& text) {
    const std::string errors = Errors();
    int count = 0;
    for (size_t at = errors.find(text); at != std::string::npos; at = errors.find(text, at + 1)) ++count;
    return count;
  }

  // The listener binds on its own thread just after the engine started, so
  // the first attempts may find the port still closed.
  std::string Get(const std::string& path) {
    LUniqueFd fd = KavrixConnectLoopbackRetry(port_, kStartLimitMs);
    if (!fd || !KavrixSendAll(fd.Get(), "GET /" + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")) return "";
    return KavrixRecvUntilClose(fd.Get(), kStartLimitMs);
  }
  std::string BodyOfGet(const std::string& path) {
    const std::string response = Get(path);
    const size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? "" : response.substr(end + 4);
  }
  // The engine lays out the web root in the data folder when it starts.
  std::string StaticFile() { return KavrixReadFile(SharedFolder() + "/webcontrol/s.css"); }

  uint16_t port_ = 0;
  LUniqueFd output_;
};

}  // namespace

// Out of descriptors, the foreground server logs that once (on standard
// error and in the log file), keeps its port and serves again once
// descriptors are free; SIGTERM ends it cleanly. Raising the soft limit is
// OpenFileLimitTest's, many idle clients ConnectionLoadTest's, the default
// leave types TeamsTest's.
TEST_F(ProgramTest, ForegroundOutOfDescriptorsLogsOnceKeepsItsListenerAndStopsOnSigterm) {
  const pid_t server = StartServer(96, 96);
  ASSERT_EQ(BodyOfGet("s.css"), StaticFile());
  std::vector<LUniqueFd> idle;
  // Connect until the server is short; the backlog holds the rest.
  for (int i = 0; i < 90 && CountInErrors(kNoDescriptors) == 0; ++i) {
    idle.push_back(ConnectWithin(port_));
    ASSERT_TRUE(idle.back()) << i;
  }
  ASSERT_TRUE(KavrixWaitUntil([&] { return CountInErrors(kNoDescriptors) > 0; })) << Errors();
  // More connections meet the same shortage; still one line.
  for (int i = 0; i < 10; ++i) idle.push_back(ConnectWithin(port_));
  idle.clear();
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile());
  EXPECT_EQ(CountInErrors(kNoDescriptors), 1) << Errors();
  // The log file has it too, though opening the file needs a descriptor.
  EXPECT_NE(KavrixReadLogText().find("Connections are refused: no file descriptors left"), std::string::npos);
  EXPECT_EQ(Stop(server), 0);
  for (const char* line : {" Starting server\n", " Server Started\n", " Stopping server\n"}) {
    EXPECT_NE(Errors().find(line), std::string::npos) << line << Errors();
  }
}

// The daemon in its own session, in "/", under the data umask and with its
// standard files on /dev/null releases its launcher once started, writes
// nothing to the terminal it came from, and stops on SIGTERM.
TEST_F(ProgramTest, DaemonReleasesItsLauncherOnceStartedAndStopsOnSigterm) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  EXPECT_EQ(WaitExit(Start("-service")), 0);
  if (!LIsUserRoot()) {
    EXPECT_EQ(KavrixReadLine(output_.Get()), "Daemon cannot be started without root permissions.");
  }
  const std::vector<pid_t> daemons = KavrixAdoptedDaemons();
  ASSERT_EQ(daemons.size(), 1u);
  const std::string proc = "/proc/" + std::to_string(daemons[0]);
  std::error_code error;
  EXPECT_EQ(std::filesystem::read_symlink(proc + "/cwd", error), "/");
  for (const char* fd : {"/fd/0", "/fd/1", "/fd/2"}) EXPECT_EQ(std::filesystem::read_symlink(proc + fd, error), "/dev/null");
  char umaskLine[32];
  std::snprintf(umaskLine, sizeof umaskLine, "\nUmask:\t%04o\n", static_cast<unsigned>(kLDataUmask));
  EXPECT_NE(KavrixReadFile(proc + "/status").find(umaskLine), std::string::npos);
  EXPECT_EQ(getsid(daemons[0]), daemons[0]);
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile());
  EXPECT_EQ(Stop(daemons[0]), 0);
  EXPECT_EQ(Errors(), "");
}

// The desktop role is tested in control_program_test.cpp, as an unprivileged
// user: started here as root without a service it would install one.
TEST_F(ProgramTest, UnknownArgumentsWithoutADisplayEndWithTheUsage) {
  const pid_t program = Start("-nonsense");
  EXPECT_EQ(KavrixReadLine(output_.Get()), "Usage: kavrixserver [-service | -foreground | -install | -uninstall]");
  EXPECT_EQ(WaitExit(program), 1);
}
