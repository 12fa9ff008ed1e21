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

// A daemon that dies before its report must not leave the launcher (and so
// the init script) waiting: the launcher ends with 1. The report itself
// releasing the launcher: ProgramTest's daemon.
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
