#include "foundation/detached_thread.h"

#include "support/test_helpers.h"

namespace {

// Counts destructor calls so "deleted exactly once" can be checked; quick:
// the body returns at once, otherwise it waits for its stop.
struct CountedThread : LDetachedThread {
  CountedThread(std::atomic<int>* destroyed, bool quick) : destroyed(destroyed), quick(quick) {}
  ~CountedThread() override { ++*destroyed; }
  void ThreadFunction() override {
    if (!quick) GetStopSignal().WaitSignalForever();
  }
  std::atomic<int>* destroyed;
  bool quick;
};

}  // namespace

// Threads that end by themselves while the owner is reaping them must each be
// deleted exactly once, and every deletion must be over when StopThreadsNow
// returns.
TEST(DetachedThreadTest, StopThreadsNowRacingSelfDeletionDeletesEachOnce) {
  std::atomic<int> destroyed{0};
  {
    LDetachedThreadsOwner owner;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE((new CountedThread(&destroyed, i % 2 == 0))->StartDetached(&owner, 0));
    owner.StopThreadsNow();
    EXPECT_EQ(destroyed.load(), 8);
    EXPECT_EQ(owner.GetThreadCount(), 0u);
  }
  EXPECT_EQ(destroyed.load(), 8);
}

// A second start is refused and does not link the thread twice.
TEST(DetachedThreadTest, SecondStartIsRefused) {
  std::atomic<int> destroyed{0};
  LDetachedThreadsOwner owner;
  auto* thread = new CountedThread(&destroyed, false);
  ASSERT_TRUE(thread->StartDetached(&owner, 0));
  EXPECT_TRUE(!thread->StartDetached(&owner, 0) && owner.GetThreadCount() == 1u);
  owner.StopThreadsNow();
  EXPECT_EQ(destroyed.load(), 1);
}
