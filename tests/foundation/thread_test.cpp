#include "foundation/thread.h"

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

// Below 1: nice = minus the priority (raising nice needs no privilege), read
// back through the kernel id; the thread's own stack size wins over the
// default.
TEST(ThreadTest, PriorityAndOwnStackSizeAreApplied) {
  LThread::SetDefaultStackSize(1024 * 1024);
  size_t stack = 0;
  LSignalObject started;  // set by the body, so after the priority was applied
  LambdaThread thread([&](LThread* self) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstacksize(&attr, &stack);
      pthread_attr_destroy(&attr);
    }
    started.Signal(), self->GetStopSignal().WaitSignalForever();
  });
  thread.SetStackSize(192 * 1024);
  ASSERT_TRUE(thread.Start(-10) && started.WaitSignalForever());
  LThread::SetDefaultStackSize(0);
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(thread.GetThreadId())), 10);
  thread.StopThreadSoon();
  thread.Join();
  // The C library may hand out a cached stack a little larger than asked.
  EXPECT_TRUE(stack >= 192u * 1024u && stack < 1024u * 1024u) << stack;
}

// The stop signal is appended when the group has room, and wins; a full
// group of 255 has no room for it: a stop is not seen, and the group's own
// last entry is reported as a member, not as a stop.
TEST(ThreadTest, GroupWaitAppendsTheStopSignalOnlyWhenThereIsRoom) {
  LambdaThread thread([](LThread*) {});  // never started: its stop signal is what matters
  LSignalObject idle, ready;
  pollfd group[LThread::kMaxWaitGroup];
  for (pollfd& entry : group) entry = pollfd{idle.GetFd(), POLLIN, 0};
  EXPECT_EQ(thread.ProcessWaitSignalObjectGroup(group, 254, 0), kLProcessFailed);
  ready.Signal();
  group[2].fd = ready.GetFd();
  group[0].revents = POLLOUT;  // stale values must not survive
  EXPECT_TRUE(thread.ProcessWaitSignalObjectGroup(group, 254, 60000) == kLProcessDone &&
              group[0].revents + group[2].revents == POLLIN);
  thread.StopThreadSoon();
  EXPECT_EQ(thread.ProcessWaitSignalObjectGroup(group, 254, 60000), kLProcessStopped);
  group[2].fd = idle.GetFd();
  EXPECT_EQ(thread.ProcessWaitSignalObjectGroup(group, LThread::kMaxWaitGroup, 0), kLProcessFailed);
  group[LThread::kMaxWaitGroup - 1].fd = ready.GetFd();
  EXPECT_EQ(thread.ProcessWaitSignalObjectGroup(group, LThread::kMaxWaitGroup, 60000), kLProcessDone);
  EXPECT_EQ(thread.ProcessWaitSignalObjectGroup(group, LThread::kMaxWaitGroup + 1, 0), kLProcessFailed);
}
