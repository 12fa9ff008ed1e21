#include "foundation/detached_thread.h"

#include <condition_variable>
#include <mutex>

#include "support/test_helpers.h"

namespace {

// Counts destructor calls so "deleted exactly once" can be checked.
struct Tally {
  std::mutex mutex;  // guards destroyed
  std::condition_variable changed;
  int destroyed = 0;

  int WaitForDestroyed(int count) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return destroyed >= count; });
    return destroyed;
  }
};

// quick: the body returns at once; otherwise it waits for its stop.
struct CountedThread : LDetachedThread {
  CountedThread(Tally* tally, bool quick) : tally(tally), quick(quick) {}
  ~CountedThread() override {
    std::lock_guard<std::mutex> lock(tally->mutex);
    ++tally->destroyed;
    tally->changed.notify_all();
  }
  void ThreadFunction() override {
    if (!quick) GetStopSignal().WaitSignalForever();
  }
  Tally* tally;
  bool quick;
};

}  // namespace

// Threads that end by themselves while the owner is reaping them must each be
// deleted exactly once, and every deletion must be over when StopThreadsNow
// returns.
TEST(DetachedThreadTest, StopThreadsNowRacingSelfDeletionDeletesEachOnce) {
  Tally tally;
  {
    LDetachedThreadsOwner owner;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE((new CountedThread(&tally, i % 2 == 0))->StartDetached(&owner, 0));
    owner.StopThreadsNow();
    EXPECT_EQ(tally.WaitForDestroyed(0), 8);
    EXPECT_EQ(owner.GetThreadCount(), 0u);
  }
  EXPECT_EQ(tally.WaitForDestroyed(0), 8);
}

// A second start is refused and does not link the thread twice.
TEST(DetachedThreadTest, SecondStartIsRefused) {
  Tally tally;
  LDetachedThreadsOwner owner;
  auto* thread = new CountedThread(&tally, false);
  ASSERT_TRUE(thread->StartDetached(&owner, 0));
  EXPECT_TRUE(!thread->StartDetached(&owner, 0) && owner.GetThreadCount() == 1u);
  owner.StopThreadsNow();
  EXPECT_EQ(tally.WaitForDestroyed(0), 1);
}
