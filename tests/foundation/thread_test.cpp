#include "foundation/thread.h"

#include <sched.h>
#include <sys/resource.h>

#include "foundation/process_wait.h"
#include "support/test_helpers.h"

// Start on a running thread does nothing; on a finished one it joins the old
// thread and runs the body again.
TEST(ThreadTest, StartWhileRunningDoesNothingAndAfterFinishRunsAgain) {
  LSignalObject started, release;
  std::atomic<int> runs{0};
  LambdaThread thread([&](LThread*) { ++runs, started.Signal(), release.WaitSignalForever(); });
  ASSERT_TRUE(thread.Start(0) && started.WaitSignalForever());
  const pid_t first_id = thread.GetThreadId();
  EXPECT_TRUE(first_id > 0 && thread.Start(0) && thread.GetThreadId() == first_id);
  release.Signal();
  thread.Join();
  ASSERT_TRUE(thread.Start(0));  // release stays set: the second run ends at once
  thread.Join();
  EXPECT_EQ(runs.load(), 2);
}

TEST(ThreadTest, StopSignalWakesAWaitingBodyAndStartClearsAnEarlierStop) {
  std::atomic<int> result{-1};
  LSignalObject never;
  LambdaThread thread([&](LThread* self) { result = ProcessWaitSignal(self, never, 600000); });
  thread.StopThreadSoon();
  ASSERT_TRUE(thread.Start(0) && !thread.IsStopRequested());
  thread.StopThreadSoon();
  thread.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
}

// Below 1: nice = minus the priority (raising nice needs no privilege),
// read back through the kernel id; 1 or more: round-robin, where allowed.
TEST(ThreadTest, PriorityRule) {
  LSignalObject started;  // set by the body, so after the priority was applied
  LambdaThread thread([&](LThread* self) { started.Signal(), self->GetStopSignal().WaitSignalForever(); });
  ASSERT_TRUE(thread.Start(-10) && started.WaitSignalForever());
  const pid_t id = thread.GetThreadId();
  auto nice_of = [id] { return getpriority(PRIO_PROCESS, static_cast<id_t>(id)); };
  EXPECT_TRUE(nice_of() == 10 && sched_getscheduler(id) == SCHED_OTHER);
  sched_param param{3};
  if (sched_setscheduler(0, SCHED_RR, &param) != 0) GTEST_SKIP() << "no real-time rights";
  param.sched_priority = 0;
  sched_setscheduler(0, SCHED_OTHER, &param);
  thread.SetPriority(3);
  EXPECT_TRUE(sched_getscheduler(id) == SCHED_RR && sched_getparam(id, &param) == 0 && param.sched_priority == 3);
  EXPECT_EQ(nice_of(), 0);
}

TEST(ThreadTest, OwnStackSizeWinsOverTheDefault) {
  LThread::SetDefaultStackSize(1024 * 1024);
  size_t stack = 0;
  LambdaThread thread([&](LThread*) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    pthread_attr_getstacksize(&attr, &stack);
    pthread_attr_destroy(&attr);
  });
  thread.SetStackSize(192 * 1024);
  ASSERT_TRUE(thread.Start(0));
  thread.Join();
  LThread::SetDefaultStackSize(0);
  // The C library may hand out a cached stack a little larger than asked.
  EXPECT_TRUE(stack >= 192u * 1024u && stack < 1024u * 1024u) << stack;
}

class GroupWaitTest : public ::testing::Test {
 protected:
  // A thread object that is never started: its stop signal is what matters.
  LambdaThread thread_{[](LThread*) {}};
  LSignalObject idle_, ready_;
  pollfd group_[LThread::kMaxWaitGroup];

  void Fill(int count) {
    for (int i = 0; i < count; ++i) group_[i] = pollfd{idle_.GetFd(), POLLIN, 0};
  }
};

TEST_F(GroupWaitTest, StopSignalIsAppendedWhenThereIsRoomAndWins) {
  Fill(254);
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 254, 0), kLProcessFailed);
  ready_.Signal();
  group_[2].fd = ready_.GetFd();
  group_[0].revents = POLLOUT;  // stale values must not survive
  EXPECT_TRUE(thread_.ProcessWaitSignalObjectGroup(group_, 254, 60000) == kLProcessDone &&
              group_[0].revents + group_[2].revents == POLLIN);
  thread_.StopThreadSoon();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 254, 60000), kLProcessStopped);
}

// A full group of 255 has no room for the stop signal: a stop is not seen,
// and the group's own last entry is reported as a member, not as a stop.
TEST_F(GroupWaitTest, FullGroupReportsOnlyTheGroup) {
  Fill(LThread::kMaxWaitGroup);
  thread_.StopThreadSoon();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup, 0), kLProcessFailed);
  ready_.Signal();
  group_[LThread::kMaxWaitGroup - 1].fd = ready_.GetFd();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup, 60000), kLProcessDone);
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup + 1, 0), kLProcessFailed);
}
