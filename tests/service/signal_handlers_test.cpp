#include "service/signal_handlers.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "foundation/unique_fd.h"
#include "support/temp_root.h"

namespace {

class SignalHandlersTest : public KavrixTempRoot {
 protected:
  std::string ErrorsFile() const { return SharedFolder() + "/errors"; }
};

// Runs `body` in a child that has the program's handlers and no core file
// (a crash must not write outside the test's folder); returns its wait status.
template <class Body>
int RunCrashingChild(bool asService, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    LInstallProcessSignalHandlers();
    LServiceSetRunningAsService(asService);
    body();
    _exit(0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return status;
}

// Waits (with SIGCHLD blocked otherwise) until a SIGCHLD has been handled.
void SuspendUntilSignalHandled() {
  sigset_t none;
  sigemptyset(&none);
  sigsuspend(&none);
}

class BlockChildSignals {
 public:
  BlockChildSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~BlockChildSignals() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }

 private:
  sigset_t saved_;
};

}  // namespace

TEST_F(SignalHandlersTest, ServiceRecordsTheFatalSignalAndDiesByIt) {
  const int status = RunCrashingChild(true, [] { raise(SIGSEGV); });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
  EXPECT_EQ(KavrixReadFile(ErrorsFile()), "exception=11\r\n");
}

TEST_F(SignalHandlersTest, EachFatalSignalIsRecordedAsItsNumber) {
  for (int fatal : {SIGQUIT, SIGILL, SIGFPE}) {
    const int status = RunCrashingChild(true, [fatal] { raise(fatal); });
    ASSERT_TRUE(WIFSIGNALED(status)) << fatal;
    EXPECT_EQ(WTERMSIG(status), fatal);
    EXPECT_EQ(KavrixReadFile(ErrorsFile()), "exception=" + std::to_string(fatal) + "\r\n");
  }
}

TEST_F(SignalHandlersTest, OtherSettingsOfTheSectionAreKept) {
  std::filesystem::create_directories(SharedFolder());
  ASSERT_TRUE(KavrixWriteFile(ErrorsFile(), "exception=4\r\nother=x\r\n"));
  const int status = RunCrashingChild(true, [] { raise(SIGFPE); });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(KavrixReadFile(ErrorsFile()), "exception=8\r\nother=x\r\n");
}

TEST_F(SignalHandlersTest, OutsideTheServiceNothingIsRecorded) {
  const int status = RunCrashingChild(false, [] { raise(SIGSEGV); });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
  EXPECT_FALSE(KavrixFileExists(ErrorsFile()));
}

TEST_F(SignalHandlersTest, BrokenPipeDoesNotEndTheProcess) {
  const int status = RunCrashingChild(false, [] {
    int ends[2];
    if (pipe(ends) != 0) _exit(2);
    close(ends[0]);
    const bool failed = write(ends[1], "x", 1) < 0 && errno == EPIPE;
    _exit(failed ? 0 : 3);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Whoever waits for its own child keeps that child's exit status, even when
// the SIGCHLD handler ran first.
TEST_F(SignalHandlersTest, ChildHandlerLeavesOtherChildrenToTheirWaiters) {
  LInstallProcessSignalHandlers();
  BlockChildSignals blocked;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(7);
  SuspendUntilSignalHandled();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_F(SignalHandlersTest, CommandStatusSurvivesTheChildHandler) {
  LInstallProcessSignalHandlers();
  FILE* command = popen("exit 5", "r");
  ASSERT_NE(command, nullptr);
  const int status = pclose(command);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 5);
}

TEST_F(SignalHandlersTest, RegisteredChildIsReapedWhenItEnds) {
  LInstallProcessSignalHandlers();
  BlockChildSignals blocked;
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    writeEnd.Reset();
    char byte;
    _exit(read(readEnd.Get(), &byte, 1) == 1 ? 0 : 1);
  }
  readEnd.Reset();
  ASSERT_TRUE(LRegisterUnwaitedChild(child));
  ASSERT_EQ(write(writeEnd.Get(), "x", 1), 1);
  // The child exists (running, or a zombie nobody reaped) until the
  // handler has reaped it; waitid with WNOWAIT looks without reaping.
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
    SuspendUntilSignalHandled();
  }
  errno = 0;
  EXPECT_EQ(waitpid(child, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(SignalHandlersTest, TerminationSignalSetsTheFlagAndTheEvent) {
  EXPECT_FALSE(LServiceTermRequested());
  EXPECT_EQ(LServiceTermSignal().GetFd(), -1);
  LServiceInstallTermSignalHandler(true);
  ASSERT_NE(LServiceTermSignal().GetFd(), -1);
  EXPECT_FALSE(LServiceTermSignal().IsSignaled());
  raise(SIGINT);
  EXPECT_TRUE(LServiceTermRequested());
  EXPECT_TRUE(LServiceTermSignal().IsSignaled());
}
