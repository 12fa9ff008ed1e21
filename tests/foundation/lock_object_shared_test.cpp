#include "foundation/lock_object_shared.h"

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Shared state whose invariants only hold under a correct lock.
struct Guarded {
  std::atomic<int> readers{0};
  std::atomic<int> writers{0};
  std::atomic<int> violations{0};
  long long value = 0;  // written only under the exclusive hold
};

void ReadOnce(LLockObjectShared& lock, Guarded& g) {
  lock.LockShared();
  ++g.readers;
  if (g.writers.load() != 0) ++g.violations;
  --g.readers;
  lock.UnlockShared();
}

void WriteExclusively(Guarded& g) {
  if (++g.writers != 1 || g.readers.load() != 0) ++g.violations;
  ++g.value;
  --g.writers;
}

}  // namespace

TEST(LockObjectSharedTest, WritersExcludeReadersAndEachOther) {
  LLockObjectShared lock;
  Guarded g;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 3000; ++i) ReadOnce(lock, g);
    });
  }
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        lock.Lock();
        WriteExclusively(g);
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
  std::thread reader([&] { ReadOnce(lock, g); });
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
      WriteExclusively(g);
      lock.Unlock();
    };
    std::thread first(upgrader);
    std::thread second(upgrader);
    first.join();
    second.join();
    ASSERT_EQ(g.value, 2);
    ASSERT_EQ(g.violations.load(), 0);
  }
}
