#include "service/daemon.h"

#include <sys/prctl.h>

#include "support/test_helpers.h"

namespace {

// The test process adopts the orphaned daemon children, so that each one is
// waited for here and none is left behind.
class DaemonTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0); }
};

}  // namespace

// The report is exactly the seven bytes "started"; the parent succeeds on
// them and fails (1) when the child ends without reporting.
TEST_F(DaemonTest, StartedHandshakeAndChildThatEndsWithoutReporting) {
  TestPipe direct;
  EXPECT_TRUE(LServiceReportStarted(direct.out));
  EXPECT_FALSE(direct.out.IsValid());
  char bytes[16] = {};
  EXPECT_EQ(read(direct.in.Get(), bytes, sizeof(bytes)), 7);
  EXPECT_EQ(std::string(bytes, 7), "started");
  EXPECT_EQ(read(direct.in.Get(), bytes, sizeof(bytes)), 0);

  for (const bool reports : {true, false}) {
    TestPipe pipe;
    const pid_t child = ForkChild([&] { return reports && !LServiceReportStarted(pipe.out) ? 1 : 0; });
    ASSERT_GT(child, 0);
    pipe.out.Reset();
    EXPECT_EQ(LServiceAwaitStarted(pipe.in.Get()), reports ? 0 : 1);
    EXPECT_EQ(WaitExit(child), 0);
  }
}

// A daemon that dies before its report must not leave the launcher (and so
// the init script) waiting: the launcher ends with 1.
TEST_F(DaemonTest, LauncherExitsOneWhenTheDaemonDiesBeforeStarting) {
  TestPipe pids;
  const pid_t launcher = ForkChild([&] {
    pids.in.Reset();
    LUniqueFd started = LServiceForkDaemon();
    const pid_t self = getpid();
    if (write(pids.out.Get(), &self, sizeof(self)) != sizeof(self)) return 2;
    return 9;  // an engine start that failed
  });
  ASSERT_GT(launcher, 0);
  pids.out.Reset();
  pid_t daemon = 0;
  ASSERT_EQ(read(pids.in.Get(), &daemon, sizeof(daemon)), static_cast<ssize_t>(sizeof(daemon)));
  EXPECT_EQ(WaitExit(launcher), 1);
  EXPECT_EQ(WaitExit(daemon), 9);
}
