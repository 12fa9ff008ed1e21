#include "service/signal_handlers.h"

#include <sys/resource.h>

#include <cerrno>
#include <cstdio>

#include "support/test_helpers.h"

namespace {

class SignalHandlersTest : public KavrixTempRoot {
 protected:
  std::string ErrorsFile() const { return SharedFolder() + "/errors"; }
};

// Runs `body` in a child that has the program's handlers and no core file
// (a crash must not write outside the test's folder); returns its wait status.
int RunCrashingChild(bool asService, const std::function<void()>& body) {
  return WaitStatus(ForkChild([&] {
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    LInstallProcessSignalHandlers();
    LServiceSetRunningAsService(asService);
    body();
    return 0;
  }));
}

// Waits (with SIGCHLD blocked otherwise) until a SIGCHLD has been handled.
void SuspendUntilSignalHandled() {
  sigset_t none;
  sigemptyset(&none);
  sigsuspend(&none);
}

// SIGCHLD is blocked for the test, so that it arrives only in the waits.
struct BlockChildSignals {
  BlockChildSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, &saved);
  }
  ~BlockChildSignals() { sigprocmask(SIG_SETMASK, &saved, nullptr); }
  sigset_t saved;
};

}  // namespace

// Each fatal signal is recorded as its number, other settings of the
// section kept, and the process still dies by it. Outside the service a
// broken pipe is an error of the write alone, and a crash is recorded
// nowhere.
TEST_F(SignalHandlersTest, OnlyTheServiceRecordsTheFatalSignalAndEachDiesByIt) {
  std::string other;  // the first crash makes the file
  for (int fatal : {SIGSEGV, SIGQUIT, SIGILL, SIGFPE}) {
    const int status = RunCrashingChild(true, [fatal] { raise(fatal); });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == fatal) << fatal;
    EXPECT_EQ(KavrixReadFile(ErrorsFile()), "exception=" + std::to_string(fatal) + "\r\n" + other);
    other = "other=x\r\n";
    ASSERT_TRUE(KavrixWriteFile(ErrorsFile(), "exception=4\r\n" + other));
  }
  ASSERT_EQ(unlink(ErrorsFile().c_str()), 0);
  const int status = RunCrashingChild(false, [] {
    TestPipe pipe;
    pipe.in.Reset();
    if (write(pipe.out.Get(), "x", 1) < 0 && errno == EPIPE) raise(SIGSEGV);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << status;
  EXPECT_FALSE(KavrixFileExists(ErrorsFile()));
}

// Whoever waits for its own child keeps its exit status, even
// when the SIGCHLD handler ran first; a registered child is reaped by the
// handler when it ends.
TEST_F(SignalHandlersTest, ChildHandlerReapsRegisteredChildrenAndLeavesOthersToTheirWaiters) {
  LInstallProcessSignalHandlers();
  BlockChildSignals blocked;
  const pid_t child = ForkChild([] { return 7; });
  ASSERT_GT(child, 0);
  SuspendUntilSignalHandled();
  EXPECT_EQ(WaitExit(child), 7);

  TestPipe go;
  const pid_t registered = ForkChild([&] { return go.Receive() ? 0 : 1; });
  ASSERT_GT(registered, 0);
  ASSERT_TRUE(LRegisterUnwaitedChild(registered));
  ASSERT_TRUE(go.Send());
  // The child exists (running, or a zombie nobody reaped) until the
  // handler has reaped it; waitid with WNOWAIT looks without reaping.
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(registered), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
    SuspendUntilSignalHandled();
  }
  errno = 0;
  EXPECT_EQ(waitpid(registered, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}
