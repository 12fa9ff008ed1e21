#include "foundation/detached_thread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

namespace {

// Counts destructor calls per test so "deleted exactly once" can be checked.
struct Tally {
  std::mutex mutex;  // guards destroyed
  std::condition_variable changed;
  int destroyed = 0;

  void WaitForDestroyed(int count) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return destroyed >= count; });
  }
  int Destroyed() {
    std::lock_guard<std::mutex> lock(mutex);
    return destroyed;
  }
};

class CountedThread : public LDetachedThread {
 public:
  // quick: the body returns at once; otherwise it waits for its stop.
  CountedThread(Tally* tally, bool quick) : tally_(tally), quick_(quick) {}
  ~CountedThread() override {
    std::lock_guard<std::mutex> lock(tally_->mutex);
    ++tally_->destroyed;
    tally_->changed.notify_all();
  }

 protected:
  void ThreadFunction() override {
    if (!quick_) GetStopSignal().WaitSignalForever();
  }

 private:
  Tally* tally_;
  bool quick_;
};

}  // namespace

TEST(DetachedThreadTest, FinishedThreadDeletesItselfAndLeavesTheList) {
  Tally tally;
  LDetachedThreadsOwner owner;
  ASSERT_TRUE((new CountedThread(&tally, true))->StartDetached(&owner, 0));
  tally.WaitForDestroyed(1);
  EXPECT_EQ(owner.GetThreadCount(), 0u);
  owner.StopThreadsNow();
  EXPECT_EQ(tally.Destroyed(), 1);
}

TEST(DetachedThreadTest, StopThreadsNowStopsJoinsAndDeletesEveryThread) {
  Tally tally;
  LDetachedThreadsOwner owner;
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE((new CountedThread(&tally, false))->StartDetached(&owner, 0));
  }
  EXPECT_EQ(owner.GetThreadCount(), 20u);
  owner.StopThreadsNow();
  EXPECT_EQ(owner.GetThreadCount(), 0u);
  EXPECT_EQ(tally.Destroyed(), 20);
}

TEST(DetachedThreadTest, StopThreadsSoonEndsThreadsWhichThenDeleteThemselves) {
  Tally tally;
  LDetachedThreadsOwner owner;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE((new CountedThread(&tally, false))->StartDetached(&owner, 0));
  }
  owner.StopThreadsSoon();
  tally.WaitForDestroyed(5);
  EXPECT_EQ(owner.GetThreadCount(), 0u);
}

// Threads that end by themselves while the owner is reaping them must each be
// deleted exactly once, and every deletion must be over when StopThreadsNow
// returns. Run many rounds to meet the races.
TEST(DetachedThreadTest, StopThreadsNowRacingSelfDeletionDeletesEachOnce) {
  for (int round = 0; round < 300; ++round) {
    Tally tally;
    {
      LDetachedThreadsOwner owner;
      for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE((new CountedThread(&tally, i % 2 == 0))->StartDetached(&owner, 0));
      }
      owner.StopThreadsNow();
      ASSERT_EQ(tally.Destroyed(), 8) << "round " << round;
    }
    ASSERT_EQ(tally.Destroyed(), 8) << "round " << round;
  }
}

TEST(DetachedThreadTest, FailedStartLeavesTheObjectWithTheCaller) {
  Tally tally;
  LDetachedThreadsOwner owner;
  // No stack this large can be mapped, so no thread can be created.
  LThread::SetDefaultStackSize(size_t{1} << 50);
  auto* thread = new CountedThread(&tally, true);
  const bool started = thread->StartDetached(&owner, 0);
  LThread::SetDefaultStackSize(0);
  EXPECT_FALSE(started);
  EXPECT_EQ(owner.GetThreadCount(), 0u);
  EXPECT_FALSE(thread->IsRunning());
  delete thread;
  EXPECT_EQ(tally.Destroyed(), 1);
}

TEST(DetachedThreadTest, SecondStartIsRefusedAndDoesNotLinkTwice) {
  Tally tally;
  LDetachedThreadsOwner owner;
  auto* thread = new CountedThread(&tally, false);
  ASSERT_TRUE(thread->StartDetached(&owner, 0));
  EXPECT_FALSE(thread->StartDetached(&owner, 0));
  EXPECT_EQ(owner.GetThreadCount(), 1u);
  owner.StopThreadsNow();
  EXPECT_EQ(tally.Destroyed(), 1);
}
