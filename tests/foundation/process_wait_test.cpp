#include "foundation/process_wait.h"

#include <sys/socket.h>

#include "support/fake_poll.h"
#include "support/test_helpers.h"

class ProcessWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0);
    near_.Reset(fds[0]);
    far_.Reset(fds[1]);
  }
  LambdaThread thread_{[](LThread*) {}};  // never started: only its stop takes part
  LSignalObject a_;
  LUniqueFd near_, far_;
};

// The stop wins when both are set; without a thread only the object counts.
TEST_F(ProcessWaitTest, SignalWaitReportsDoneStoppedAndTimeout) {
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 0), kLProcessFailed);
  a_.Signal();
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 60000), kLProcessDone);
  thread_.StopThreadSoon();
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 60000), kLProcessStopped);
  EXPECT_EQ(ProcessWaitSignalForever(&thread_, a_), kLProcessStopped);
  EXPECT_EQ(ProcessWaitSignal(nullptr, a_, 60000), kLProcessDone);
  EXPECT_EQ(ProcessWaitSignalForever(nullptr, LSignalObjectRef()), kLProcessFailed);
}

// A wait longer than one 200 ms slice goes on slice after slice until its time.
TEST_F(ProcessWaitTest, FdWaitReportsReadinessWithEventsAndSpansSlices) {
  short revents = 0;
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLOUT, 60000, &revents), kLProcessDone);
  EXPECT_EQ(revents, POLLOUT);
  {
    KavrixFakePoll fake;
    EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLIN, 450), kLProcessFailed);
    EXPECT_EQ(fake.Timeouts(), (std::vector<int>{200, 200, 50}));
  }
  ASSERT_EQ(send(far_.Get(), "x", 1, 0), 1);
  EXPECT_EQ(ProcessWaitFd(nullptr, near_.Get(), POLLIN, 60000, &revents), kLProcessDone);
  EXPECT_EQ(revents, POLLIN);
  const int stale = near_.Get();
  near_.Reset();
  EXPECT_EQ(ProcessWaitFd(nullptr, stale, POLLIN, 60000), kLProcessFailed);
}

TEST_F(ProcessWaitTest, FdWaitStopsOnTheStopFlagOrSignal) {
  thread_.StopThreadSoon();
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLIN, -1), kLProcessStopped);
  LSignalObject started;
  std::atomic<int> result{-1};
  LambdaThread waiter([&](LThread* self) { started.Signal(), result = ProcessWaitFd(self, near_.Get(), POLLIN, -1); });
  ASSERT_TRUE(waiter.Start(0) && started.WaitSignalForever());
  waiter.StopThreadSoon();
  waiter.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
}
