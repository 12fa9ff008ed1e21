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
