#include "foundation/lock_object_shared.h"

#include "support/test_helpers.h"

namespace {

// Shared state whose invariants only hold under a correct lock.
struct Guarded {
  std::atomic<int> readers{0}, writers{0}, violations{0};
  long long value = 0;  // written only under the exclusive hold

  void Read(LLockObjectShared& lock) {
    lock.LockShared();
    ++readers;
    if (writers.load() != 0) ++violations;
    --readers;
    lock.UnlockShared();
  }
  void Write() {
    if (++writers != 1 || readers.load() != 0) ++violations;
    ++value;
    --writers;
  }
};

}  // namespace

TEST(LockObjectSharedTest, WritersExcludeReadersAndEachOther) {
  LLockObjectShared lock;
  Guarded g;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 3000; ++i) g.Read(lock);
    });
  }
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        lock.Lock();
        g.Write();
        lock.Unlock();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(g.violations.load(), 0);
  EXPECT_EQ(g.value, 2000);
}

// Downgrade keeps the hold (no writer in between) and lets readers in.
TEST(LockObjectSharedTest, DowngradeAdmitsReadersButNoWriter) {
  LLockObjectShared lock;
  Guarded g;
  lock.Lock();
  lock.DowngradeLock();
  std::thread reader([&] { g.Read(lock); });
  reader.join();  // would never end if the downgrade still excluded readers
  std::atomic<bool> wrote{false};
  std::thread writer([&] {
    lock.Lock();
    wrote = true;
    lock.Unlock();
  });
  EXPECT_FALSE(wrote.load());
  lock.UnlockShared();
  writer.join();
  EXPECT_TRUE(wrote.load());
}

// Two readers upgrading at once: the first to find no readers left must wake
// the other after it leaves, or that one would wait for a reader that never
// comes.
TEST(LockObjectSharedTest, ConcurrentUpgradesBothComplete) {
  for (int round = 0; round < 200; ++round) {
    LLockObjectShared lock;
    Guarded g;
    std::atomic<int> holding{0};
    auto upgrader = [&] {
      lock.LockShared();
      ++holding;
      while (holding.load() < 2) std::this_thread::yield();
      lock.UpgradeLock();
      g.Write();
      lock.Unlock();
    };
    std::thread first(upgrader), second(upgrader);
    first.join();
    second.join();
    ASSERT_EQ(g.value, 2);
    ASSERT_EQ(g.violations.load(), 0);
  }
}
