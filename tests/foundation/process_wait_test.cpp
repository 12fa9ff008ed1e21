#include "foundation/process_wait.h"

#include <sys/socket.h>

#include <chrono>

#include <gtest/gtest.h>

#include "foundation/unique_fd.h"
#include "thread_test_util.h"

class ProcessWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0);
    near_.Reset(fds[0]);
    far_.Reset(fds[1]);
  }
  // Never started: only its stop flag and signal take part.
  LambdaThread thread_{[](LThread*) {}};
  LSignalObject a_;
  LSignalObject b_;
  LUniqueFd near_;
  LUniqueFd far_;
};

TEST_F(ProcessWaitTest, SignalWaitsReportDoneStoppedAndTimeout) {
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 0), kLProcessFailed);
  EXPECT_EQ(ProcessWaitSignals(&thread_, a_, b_, 0), kLProcessFailed);
  b_.Signal();
  EXPECT_EQ(ProcessWaitSignals(&thread_, a_, b_, 60000), kLProcessDone);
  a_.Signal();
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 60000), kLProcessDone);
  EXPECT_EQ(ProcessWaitSignalForever(&thread_, a_), kLProcessDone);
  thread_.StopThreadSoon();  // the stop wins when both are set
  EXPECT_EQ(ProcessWaitSignal(&thread_, a_, 60000), kLProcessStopped);
  EXPECT_EQ(ProcessWaitSignalForever(&thread_, a_), kLProcessStopped);
  EXPECT_EQ(ProcessWaitSignals(&thread_, a_, b_, 60000), kLProcessStopped);
}

TEST_F(ProcessWaitTest, WithoutThreadOnlyTheObjectAndTimeCount) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ProcessWaitSignal(nullptr, a_, 150), kLProcessFailed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  a_.Signal();
  EXPECT_EQ(ProcessWaitSignal(nullptr, a_, 60000), kLProcessDone);
  EXPECT_EQ(ProcessWaitSignals(nullptr, b_, a_, 60000), kLProcessDone);
  EXPECT_EQ(ProcessWaitSignalForever(nullptr, LSignalObjectRef()), kLProcessFailed);
}

TEST_F(ProcessWaitTest, FdWaitReportsReadinessWithEvents) {
  short revents = 0;
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLOUT, 60000, &revents), kLProcessDone);
  EXPECT_EQ(revents, POLLOUT);
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLIN, 0), kLProcessFailed);
  ASSERT_EQ(send(far_.Get(), "x", 1, 0), 1);
  EXPECT_EQ(ProcessWaitFd(nullptr, near_.Get(), POLLIN, 60000, &revents), kLProcessDone);
  EXPECT_EQ(revents, POLLIN);
  far_.Reset();
  EXPECT_EQ(ProcessWaitFd(nullptr, near_.Get(), POLLIN, 60000, &revents), kLProcessDone);
  EXPECT_TRUE(revents & (POLLIN | POLLHUP));
}

// A wait longer than one slice goes on slice after slice until its time.
TEST_F(ProcessWaitTest, FdWaitSpansSeveralSlices) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLIN, 450), kLProcessFailed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
}

TEST_F(ProcessWaitTest, FdWaitStopsOnTheStopFlagOrSignal) {
  thread_.StopThreadSoon();
  EXPECT_EQ(ProcessWaitFd(&thread_, near_.Get(), POLLIN, -1), kLProcessStopped);
  LSignalObject started;
  std::atomic<int> result{-1};
  LambdaThread waiter([&](LThread* self) {
    started.Signal();
    result = ProcessWaitFd(self, near_.Get(), POLLIN, -1);
  });
  ASSERT_TRUE(waiter.Start(0));
  ASSERT_TRUE(started.WaitSignalForever());
  waiter.StopThreadSoon();
  waiter.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

TEST_F(ProcessWaitTest, FdWaitOnBadDescriptorFails) {
  EXPECT_EQ(ProcessWaitFd(nullptr, -1, POLLIN, 60000), kLProcessFailed);
  const int stale = near_.Get();
  near_.Reset();
  EXPECT_EQ(ProcessWaitFd(nullptr, stale, POLLIN, 60000), kLProcessFailed);
}
