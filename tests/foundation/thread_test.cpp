#include "foundation/thread.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include <gtest/gtest.h>

#include "foundation/process_wait.h"
#include "thread_test_util.h"

// Start on a running thread does nothing; on a finished one it joins the old
// thread and runs the body again.
TEST(ThreadTest, StartWhileRunningDoesNothingAndAfterFinishRunsAgain) {
  LSignalObject started;
  LSignalObject release;
  std::atomic<int> runs{0};
  LambdaThread thread([&](LThread*) {
    ++runs;
    started.Signal();
    release.WaitSignalForever();
  });
  ASSERT_TRUE(thread.Start(0));
  ASSERT_TRUE(started.WaitSignalForever());
  const pid_t first_id = thread.GetThreadId();
  EXPECT_GT(first_id, 0);
  EXPECT_TRUE(thread.Start(0));
  EXPECT_EQ(thread.GetThreadId(), first_id);
  release.Signal();
  thread.Join();
  EXPECT_FALSE(thread.IsRunning());
  EXPECT_EQ(thread.GetThreadId(), -1);
  EXPECT_EQ(runs.load(), 1);
  started.Reset();
  ASSERT_TRUE(thread.Start(0));  // release stays set: the second run ends at once
  thread.Join();
  EXPECT_EQ(runs.load(), 2);
}

TEST(ThreadTest, StopSignalWakesAWaitingBodyAndStartClearsTheStop) {
  std::atomic<int> result{-1};
  LSignalObject never;
  LambdaThread thread([&](LThread* self) { result = ProcessWaitSignal(self, never, 600000); });
  thread.StopThreadSoon();  // a stop from before the start must not carry over
  ASSERT_TRUE(thread.Start(0));
  EXPECT_FALSE(thread.IsStopRequested());
  EXPECT_FALSE(thread.GetStopSignal().IsSignaled());
  thread.StopThreadSoon();
  thread.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
  EXPECT_TRUE(thread.IsStopRequested());
}

// Raising the nice value needs no privilege; the thread's own value is read
// back through its kernel id.
TEST(ThreadTest, PriorityBelowOneSetsNiceToMinusPriority) {
  LSignalObject started;
  LambdaThread thread([&](LThread* self) {
    started.Signal();
    self->GetStopSignal().WaitSignalForever();
  });
  ASSERT_TRUE(thread.Start(-10));
  ASSERT_TRUE(started.WaitSignalForever());
  const pid_t id = thread.GetThreadId();
  errno = 0;
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(id)), 10);
  EXPECT_EQ(sched_getscheduler(id), SCHED_OTHER);
  thread.SetPriority(-15);
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(id)), 15);
  EXPECT_EQ(thread.GetPriority(), -15);
}

TEST(ThreadTest, PriorityOneOrMoreUsesRoundRobin) {
  sched_param probe{};
  probe.sched_priority = 3;
  if (sched_setscheduler(0, SCHED_RR, &probe) != 0) GTEST_SKIP() << "no real-time rights";
  probe.sched_priority = 0;
  sched_setscheduler(0, SCHED_OTHER, &probe);
  LSignalObject started;
  LambdaThread thread([&](LThread* self) {
    started.Signal();
    self->GetStopSignal().WaitSignalForever();
  });
  ASSERT_TRUE(thread.Start(3));
  ASSERT_TRUE(started.WaitSignalForever());
  sched_param param{};
  EXPECT_EQ(sched_getscheduler(thread.GetThreadId()), SCHED_RR);
  ASSERT_EQ(sched_getparam(thread.GetThreadId(), &param), 0);
  EXPECT_EQ(param.sched_priority, 3);
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(thread.GetThreadId())), 0);
}

TEST(ThreadTest, DefaultStackSizeAppliesToNewThreads) {
  LThread::SetDefaultStackSize(256 * 1024);
  size_t stack = 0;
  LambdaThread thread([&](LThread*) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    pthread_attr_getstacksize(&attr, &stack);
    pthread_attr_destroy(&attr);
  });
  ASSERT_TRUE(thread.Start(0));
  thread.Join();
  LThread::SetDefaultStackSize(0);
  EXPECT_EQ(stack, 256u * 1024u);
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
  EXPECT_GE(stack, 192u * 1024u);
  EXPECT_LT(stack, 1024u * 1024u);
}

class GroupWaitTest : public ::testing::Test {
 protected:
  // A thread object that is never started: its stop signal is what matters.
  LambdaThread thread_{[](LThread*) {}};
  LSignalObject idle_;
  LSignalObject ready_;
  pollfd group_[LThread::kMaxWaitGroup];

  void Fill(int count) {
    for (int i = 0; i < count; ++i) group_[i] = pollfd{idle_.GetFd(), POLLIN, 0};
  }
};

TEST_F(GroupWaitTest, StopSignalIsAppendedWhenThereIsRoom) {
  Fill(254);
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 254, 0), kLProcessFailed);
  thread_.StopThreadSoon();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 254, 60000), kLProcessStopped);
  ready_.Signal();
  group_[100].fd = ready_.GetFd();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 254, 60000), kLProcessStopped);
}

TEST_F(GroupWaitTest, ReadyMemberIsReportedWithItsEvents) {
  Fill(3);
  ready_.Signal();
  group_[2].fd = ready_.GetFd();
  group_[0].revents = POLLOUT;  // stale values must not survive
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, 3, 60000), kLProcessDone);
  EXPECT_EQ(group_[0].revents, 0);
  EXPECT_EQ(group_[2].revents, POLLIN);
}

// A full group has no room for the stop signal: a stop is not seen, and the
// group's own last entry is reported as a member, not as a stop.
TEST_F(GroupWaitTest, FullGroupReportsOnlyTheGroup) {
  Fill(LThread::kMaxWaitGroup);
  thread_.StopThreadSoon();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup, 0),
            kLProcessFailed);
  ready_.Signal();
  group_[LThread::kMaxWaitGroup - 1].fd = ready_.GetFd();
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup, 60000),
            kLProcessDone);
  EXPECT_EQ(thread_.ProcessWaitSignalObjectGroup(group_, LThread::kMaxWaitGroup + 1, 0),
            kLProcessFailed);
}
