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
#include "model/org_settings.h"
#include "model/teams.h"
#include "program_support.h"
#include "service/root_prompt.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "support/test_helpers.h"
#include "web/http/http_responses.h"

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
  // output_, its standard error goes to the file `errorsName` of the test.
  // A `fileLimit` above 0 is the open-file limit it starts with (soft, and
  // `hardFileLimit` hard).
  pid_t Start(const char* argument, const std::string& errorsName = "stderr", long fileLimit = 0,
              long hardFileLimit = 0) {
    TestPipe output;
    output_ = std::move(output.in);
    const std::string errors = TempDir() + "/" + errorsName;
    const std::string program = KavrixProgramPath();
    return ForkChild([&] {
      dup2(output.out.Get(), 1);
      dup2(LUniqueFd(open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)).Get(), 2);
      output.out.Reset(), output_.Reset();
      if (fileLimit > 0) {
        const rlimit limit{static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(hardFileLimit)};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return 126;
      }
      execl(program.c_str(), "kavrixserver", argument, static_cast<char*>(nullptr));
      return 127;
    });
  }

  std::string Errors(const std::string& name = "stderr") { return KavrixReadFile(TempDir() + "/" + name); }

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

// A fresh data root (the web wizard's way, no control window) gets the
// default leave types at the service's start, once: types deleted later stay
// deleted through the next start.
TEST_F(ProgramTest, ForegroundLaysDownTheDefaultLeaveTypesOnlyOnce) {
  using Names = std::vector<std::string>;
  const Names expected[] = {{"holiday", "sick", "unpaid", "maternity", "other"}, {}};
  for (const Names& types : expected) {
    const pid_t server = Start("-foreground");
    ASSERT_GT(server, 0);
    ASSERT_EQ(ReadLine(output_.Get()).rfind("KavrixServer is running", 0), 0u);
    EXPECT_EQ(KXGetLeaveTypeNames(), types);
    EXPECT_EQ(KXOrgGetText(LKXOrg::kInitLeaveTypes), "0");
    ASSERT_EQ(kill(server, SIGTERM), 0);
    EXPECT_EQ(WaitExit(server), 0);
    for (const std::string& name : KXGetLeaveTypeNames()) ASSERT_TRUE(KXDeleteLeaveType(name));
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

namespace {

constexpr char kBindFailure[] = "Webserver cannot bind to TCP/IP port.";

// Checks `done` every few milliseconds until it holds, for at most the start
// limit: for what the server only shows in its log.
bool WaitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A client connected to the port; its connect gives up after a few seconds
// instead of waiting on a server that cannot accept.
LUniqueFd ConnectWithin(uint16_t port) {
  LUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const timeval limit{5, 0};
  setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_LOOPBACK, port);
  if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) fd.Reset();
  return fd;
}

}  // namespace

// Killed while a station and a browser are connected, the server leaves
// their connections lingering on the port; started again, it binds on its
// first try and answers.
TEST_F(ProgramTest, RestartAfterKillBindsAtOnceWhileOldConnectionsLinger) {
  const pid_t killed = Start("-foreground", "stderr.killed");
  ASSERT_GT(killed, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  LUniqueFd station = KavrixConnectLoopbackRetry(port_, kStartLimitMs);
  ASSERT_TRUE(KavrixSendAll(station.Get(), "GET /connect HTTP/1.0\r\n\r\n"));
  const std::string header = kLHttpStationConnect;
  ASSERT_EQ(KavrixRecvExact(station.Get(), header.size()), header);
  LUniqueFd browser = KavrixConnectLoopback(port_);
  ASSERT_TRUE(KavrixSendAll(browser.Get(), "GET /s.css HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
  ASSERT_NE(KavrixRecvHttpResponse(browser.Get()).find(StaticFile("s.css")), std::string::npos);
  ASSERT_EQ(kill(killed, SIGKILL), 0);
  const int status = WaitStatus(killed);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  // Both clients stay open: the server's ends wait for them on the port.
  ASSERT_TRUE(KavrixPeerClosed(station.Get()));
  ASSERT_TRUE(KavrixPeerClosed(browser.Get()));

  const pid_t restarted = Start("-foreground");
  ASSERT_GT(restarted, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  EXPECT_EQ(Errors().find(kBindFailure), std::string::npos) << Errors();
  ASSERT_EQ(kill(restarted, SIGTERM), 0);
  EXPECT_EQ(WaitExit(restarted), 0);
}

// A second server on the port of a running one cannot bind and says so; the
// first one keeps serving.
TEST_F(ProgramTest, SecondServerOnALivePortReportsTheConflict) {
  const pid_t first = Start("-foreground", "stderr.first");
  ASSERT_GT(first, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  ASSERT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  const pid_t second = Start("-foreground");
  ASSERT_GT(second, 0);
  EXPECT_TRUE(WaitFor([&] { return Errors().find(kBindFailure) != std::string::npos; })) << Errors();
  EXPECT_NE(Errors().find("Some other program may be using port " + std::to_string(port_) + "."), std::string::npos);
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  EXPECT_EQ(Errors("stderr.first").find(kBindFailure), std::string::npos);
  for (const pid_t server : {second, first}) {
    ASSERT_EQ(kill(server, SIGTERM), 0);
    EXPECT_EQ(WaitExit(server), 0);
  }
}

// 300 clients that each sent part of a request head and then went quiet,
// under the usual service limit of 1,024 open files (started with a lower
// soft limit, as services often are): a page is still served.
TEST_F(ProgramTest, SlowClientsUnderTheOpenFileLimitLeaveRoomForOthers) {
  constexpr int kSlowClients = 300;
  const pid_t server = Start("-foreground", "stderr", 256, 1024);
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  ASSERT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  std::vector<LUniqueFd> slow;
  for (int i = 0; i < kSlowClients; ++i) {
    slow.push_back(ConnectWithin(port_));
    ASSERT_TRUE(slow.back()) << i;
    ASSERT_TRUE(KavrixSendAll(slow.back().Get(), "GET /s.css HTTP/1.1\r\nHo"));
  }
  // Every slow client has its connection thread by now: the last one sends
  // a whole request and is answered, so all before it were accepted.
  LUniqueFd last = ConnectWithin(port_);
  ASSERT_TRUE(last);
  ASSERT_TRUE(KavrixSendAll(last.Get(), "GET /s.css HTTP/1.0\r\n\r\n"));
  EXPECT_NE(KavrixRecvUntilClose(last.Get()).find(StaticFile("s.css")), std::string::npos);
  std::string page;
  BodyOfGet("", &page);
  EXPECT_EQ(page.rfind("HTTP/1.", 0), 0u) << page;
  EXPECT_EQ(Errors().find("no file descriptors left"), std::string::npos) << Errors();
  ASSERT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(WaitExit(server), 0);
}

// Out of descriptors, the server logs that once, keeps its port and
// serves again once descriptors are free.
TEST_F(ProgramTest, RunningOutOfDescriptorsIsLoggedOnceAndTheListenerLives) {
  const pid_t server = Start("-foreground", "stderr", 96, 96);
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  ASSERT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  std::vector<LUniqueFd> idle;
  const auto refusedLines = [&] {
    const std::string errors = Errors();
    int count = 0;
    for (size_t at = errors.find("no file descriptors left"); at != std::string::npos;
         at = errors.find("no file descriptors left", at + 1)) {
      ++count;
    }
    return count;
  };
  // Connect until the server is short; the backlog holds the rest.
  for (int i = 0; i < 90 && refusedLines() == 0; ++i) {
    idle.push_back(ConnectWithin(port_));
    ASSERT_TRUE(idle.back()) << i;
  }
  ASSERT_TRUE(WaitFor([&] { return refusedLines() > 0; })) << Errors();
  // More connections meet the same shortage; still one line.
  for (int i = 0; i < 10; ++i) idle.push_back(ConnectWithin(port_));
  idle.clear();
  EXPECT_EQ(BodyOfGet("s.css"), StaticFile("s.css"));
  EXPECT_EQ(refusedLines(), 1) << Errors();
  // The log file has it too, though opening the file needs a descriptor.
  EXPECT_NE(KavrixReadLogText().find("Connections are refused: no file descriptors left"), std::string::npos);
  ASSERT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(WaitExit(server), 0);
}

// A fresh start under the usual umask 022: all the server makes under its
// data root is for the service's user and group, sessions for the user
// alone; the routing file the test wrote (0644) loses only the bits it had
// too many (0640), told in one line.
TEST_F(ProgramTest, AFreshStartUnderUmask022KeepsTheDataFromOtherAccounts) {
  for (const std::string& folder : {InstallRoot(), InstallRoot() + "/kavrixserver", SharedFolder()}) {
    ASSERT_EQ(chmod(folder.c_str(), kLDataFolderMode), 0);
  }
  const mode_t savedMask = umask(022);
  const pid_t server = Start("-foreground");
  umask(savedMask);
  ASSERT_GT(server, 0);
  ASSERT_NE(ReadLine(output_.Get()), "");
  // The wizard's first step makes the administrator and a session.
  const std::string form = "101=boss%40office.example&102=Boss&103=Secret1&104=Secret1&submit=%20%20Next%20%20";
  LUniqueFd fd = KavrixConnectLoopbackRetry(port_, kStartLimitMs);
  ASSERT_TRUE(KavrixSendAll(fd.Get(), "POST /wizardadmin HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Length: " +
                                          std::to_string(form.size()) + "\r\n\r\n" + form));
  const std::string response = KavrixRecvUntilClose(fd.Get(), kStartLimitMs);
  EXPECT_NE(response.find("Set-Cookie: sess="), std::string::npos) << response;
  ASSERT_TRUE(WaitFor([&] { return Errors().find("Data folder: 1 files") != std::string::npos; })) << Errors();
  ASSERT_EQ(kill(server, SIGTERM), 0);
  EXPECT_EQ(WaitExit(server), 0);
  int sessions = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(InstallRoot())) {
    const std::string path = entry.path().string();
    const auto status = entry.symlink_status();
    if (std::filesystem::is_socket(status)) continue;
    const bool session = path.find("/SessionData") != std::string::npos;
    sessions += session && std::filesystem::is_regular_file(status);
    mode_t expected = std::filesystem::is_directory(status) ? (session ? kLOwnerFolderMode : kLDataFolderMode)
                                                            : (session ? kLOwnerFileMode : kLDataFileMode);
    if (path == SharedFolder() + "/routing") expected = 0640;
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0) << path;
    EXPECT_EQ(info.st_mode & 07777, expected) << path;
  }
  EXPECT_GE(sessions, 1);
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

// The desktop role is tested in control_program_test.cpp, as an unprivileged
// user: started here as root without a service it would install one.
TEST_F(ProgramTest, UnknownArgumentsWithoutADisplayEndWithTheUsage) {
  const pid_t program = Start("-nonsense");
  ASSERT_GT(program, 0);
  EXPECT_EQ(ReadLine(output_.Get()), "Usage: kavrixserver [-service | -foreground | -install | -uninstall]");
  EXPECT_EQ(WaitExit(program), 1);
}
