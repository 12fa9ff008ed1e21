// The real program, started as separate processes: the foreground service,
// the daemon and the kavrixcontrol client, the client also as a stranger
// (setpriv) outside the data folder's group ("nogroup" here, as an office
// gives its own group to the people who run the server). Nothing here
// installs the service; every path is inside the test's folder.

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/ip_socket_tcp.h"
#include "foundation/file_modes.h"
#include "program_support.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "support/test_helpers.h"
#include "support/web_server_fixture.h"

namespace {

// Bound for a broken run; nothing passes by it.
constexpr int kLimitMs = 30000;
// Run as: root (null) or a stranger to the data folder's group.
constexpr const char* kRoot = nullptr;
constexpr char kStranger[] = "65533";
constexpr gid_t kDataGroup = 65534;

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

std::string WithoutClock(const std::string& line) { return line.size() > 9 ? line.substr(9) : line; }

class ProgramTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    unsetenv("DISPLAY");
    port_ = KavrixFreeLoopbackPort();
    ASSERT_TRUE(KavrixWriteRoutingPort(SharedFolder(), port_));
    // The data folder belongs to the service's group.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TempDir())) {
      chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
      ASSERT_EQ(chown(entry.path().c_str(), static_cast<uid_t>(-1), kDataGroup), 0);
    }
    ASSERT_EQ(chmod(TempDir().c_str(), 0777), 0);
  }
  void TearDown() override {
    for (auto& [pid, output] : children_) {
      kill(pid, SIGKILL);
      WaitStatus(pid);
    }
    KavrixTempRoot::TearDown();
  }

  // Runs `arguments` as the user and group `as` (root when null); its
  // standard output comes back through the returned descriptor.
  pid_t Run(const std::vector<std::string>& arguments, const char* as, int* output) {
    TestPipe out;
    std::vector<std::string> command;
    if (as != kRoot) {
      command = {"/usr/bin/setpriv", std::string("--reuid=") + as, std::string("--regid=") + as, "--clear-groups", "--"};
    }
    command.insert(command.end(), arguments.begin(), arguments.end());
    const std::string errors = TempDir() + "/stderr";
    const pid_t pid = ForkChild([&] {
      dup2(out.out.Get(), 1);
      dup2(LUniqueFd(open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666)).Get(), 2);
      setenv("USER", as != kRoot ? "nobody" : "root", 1);
      std::vector<char*> argv;
      for (auto& argument : command) argv.push_back(argument.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      return 127;
    });
    children_.push_back({pid, std::move(out.in)});
    *output = children_.back().second.Get();
    return pid;
  }
  int Finish(pid_t pid) {
    const int status = WaitExit(pid);
    std::erase_if(children_, [pid](const auto& child) { return child.first == pid; });
    return status;
  }
  std::string Program() const { return std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixserver"; }
  std::string Client() const { return std::string(KAVRIX_TEST_BUILD_DIR) + "/kavrixcontrol"; }
  std::string Socket() const { return SharedFolder() + "/.spipe.kavrixserverd"; }

  std::string Errors() const { return KavrixReadFile(TempDir() + "/stderr"); }
  int CountInErrors(const std::string& text) const {
    const std::string errors = Errors();
    int count = 0;
    for (size_t at = errors.find(text); at != std::string::npos; at = errors.find(text, at + 1)) ++count;
    return count;
  }
  // The listener binds on its own thread just after the engine started, so
  // the first attempts may find the port still closed.
  std::string BodyOfGet(const std::string& path) {
    LUniqueFd fd = KavrixConnectLoopbackRetry(port_, kLimitMs);
    if (!fd || !KavrixSendAll(fd.Get(), "GET /" + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")) return "";
    const std::string response = KavrixRecvUntilClose(fd.Get(), kLimitMs);
    const size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? "" : response.substr(end + 4);
  }
  // The engine lays out the web root in the data folder when it starts.
  std::string StaticFile() const { return KavrixReadFile(SharedFolder() + "/webcontrol/s.css"); }

  // The foreground service, once it runs; `limit` runs it under prlimit.
  pid_t StartService(const std::string& limit = "") {
    int output = -1;
    std::vector<std::string> command{Program(), "-foreground"};
    if (!limit.empty()) command.insert(command.begin(), {"/usr/bin/prlimit", limit, "--"});
    const pid_t pid = Run(command, kRoot, &output);
    EXPECT_EQ(KavrixReadLine(output), "KavrixServer is running: open http://127.0.0.1:" + std::to_string(port_) + "/");
    return pid;
  }
  int RunClient(const std::vector<std::string>& arguments, const char* as,
                const std::string& socket = "") {
    std::vector<std::string> command{Client(), "-socket", socket.empty() ? Socket() : socket};
    command.insert(command.end(), arguments.begin(), arguments.end());
    int output = -1;
    return Finish(Run(command, as, &output));
  }
  // A watcher connects at its own pace: settings changes without effect are
  // sent until its output `fd` shows "Restarting server"; returns that line.
  // Each change logs two lines and waits for both, so none trails into the
  // next client; a watcher that joins between the two sees the second first.
  std::string RestartSeenBy(int fd) {
    for (int i = 0; i < kLimitMs / 100; ++i) {
      if (RunClient({"-settings-changed", "-lines", "2"}, kRoot) != 0) return "<client failed>";
      for (pollfd wait{fd, POLLIN, 0}; poll(&wait, 1, 100) == 1;) {
        const std::string line = KavrixReadLine(fd);
        if (line.find(" Restarting server") != std::string::npos || line == "<end>") return WithoutClock(line);
      }
    }
    return "<nothing>";
  }

  uint16_t port_ = 0;
  std::vector<std::pair<pid_t, LUniqueFd>> children_;
};

}  // namespace

// The data folder is closed to a stranger, the socket in it too. One that
// reaches the socket all the same (a link to it put outside) sees the log
// but cannot change or stop the service; root's change restarts it and
// root's stop ends it, while both the stranger and root's client receive
// the log. Moving the listener is MainEngineTest's.
TEST_F(ProgramTest, AStrangerOnlyWatchesWhileRootChangesAndStopsTheService) {
  const pid_t service = StartService();
  EXPECT_EQ(RunClient({"-lines", "1"}, kStranger), 1);
  const std::string outside = TempDir() + "/control.sock";
  ASSERT_EQ(link(Socket().c_str(), outside.c_str()), 0);
  int output = -1;
  const pid_t stranger = Run({Client(), "-socket", outside, "-lines", "2"}, kStranger, &output);
  EXPECT_EQ(RestartSeenBy(output), "Restarting server");
  EXPECT_EQ(Finish(stranger), 0);
  EXPECT_EQ(RunClient({"-stop"}, kStranger, outside), 3);
  EXPECT_EQ(RunClient({"-stop"}, kRoot), 0);
  EXPECT_EQ(Finish(service), 0);
  EXPECT_FALSE(KavrixFileExists(Socket()));
  EXPECT_NE(KavrixReadFile(TempDir() + "/stderr")
                .find(" closed: only root and the data folder's group may change or stop the service"),
            std::string::npos);
}

// Out of descriptors, the foreground server logs that once (on standard
// error and in the log file), keeps its port and serves again once
// descriptors are free; SIGTERM ends it cleanly. Raising the soft limit is
// OpenFileLimitTest's, many idle clients ConnectionLoadTest's, the default
// leave types TeamsTest's.
TEST_F(ProgramTest, ForegroundOutOfDescriptorsLogsOnceKeepsItsListenerAndStopsOnSigterm) {
  const pid_t server = StartService("--nofile=96");
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
  EXPECT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(Finish(server), 0);
  EXPECT_NE(Errors().find(" Stopping server\n"), std::string::npos) << Errors();
}

// The daemon in its own session, in "/", under the data umask and with its
// standard files on /dev/null releases its launcher once started, writes
// nothing to the terminal it came from, and stops on SIGTERM.
TEST_F(ProgramTest, DaemonReleasesItsLauncherOnceStartedAndStopsOnSigterm) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  int output = -1;
  EXPECT_EQ(Finish(Run({Program(), "-service"}, kRoot, &output)), 0);
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
  EXPECT_EQ(kill(daemons[0], SIGTERM), 0);
  EXPECT_EQ(WaitExit(daemons[0]), 0);
  EXPECT_EQ(Errors(), "");
}

// The desktop role (DesktopRoleTest) would install a service as root.
TEST_F(ProgramTest, UnknownArgumentsWithoutADisplayEndWithTheUsage) {
  int output = -1;
  const pid_t program = Run({Program(), "-nonsense"}, kRoot, &output);
  EXPECT_EQ(KavrixReadLine(output), "Usage: kavrixserver [-service | -foreground | -install | -uninstall]");
  EXPECT_EQ(Finish(program), 1);
}
