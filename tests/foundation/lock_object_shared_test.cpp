#include "foundation/lock_object_shared.h"

#include "support/test_helpers.h"

namespace {

// Shared state whose invariants only hold under a correct lock.
struct Guarded {
  LLockObjectShared lock;
  std::atomic<int> readers{0}, writers{0}, violations{0};
  long long value = 0;  // written only under the exclusive hold

  void Read() {
    lock.LockShared();
    ++readers;
    violations += writers.load() != 0;
    --readers;
    lock.UnlockShared();
  }
  void Write() {  // the caller holds the lock exclusively
    violations += ++writers != 1 || readers.load() != 0;
    ++value;
    --writers;
  }
};

}  // namespace

TEST(LockObjectSharedTest, WritersExcludeReadersAndEachOther) {
  Guarded g;
  std::vector<std::thread> threads;
  auto read = [&] { for (int i = 0; i < 3000; ++i) g.Read(); };
  auto write = [&] { for (int i = 0; i < 1000; ++i) g.lock.Lock(), g.Write(), g.lock.Unlock(); };
  for (int t = 0; t < 6; ++t) t < 4 ? threads.emplace_back(read) : threads.emplace_back(write);
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(g.violations.load() == 0 && g.value == 2000);
}

// Two readers upgrading at once: the first to find no readers left must wake
// the other after it leaves, or that one would wait for a reader that never
// comes.
TEST(LockObjectSharedTest, ConcurrentUpgradesBothComplete) {
  for (int round = 0; round < 200; ++round) {
    Guarded g;
    std::atomic<int> holding{0};
    auto upgrader = [&] {
      g.lock.LockShared();
      for (++holding; holding.load() < 2;) std::this_thread::yield();
      g.lock.UpgradeLock();
      g.Write();
      g.lock.Unlock();
    };
    { std::jthread first(upgrader), second(upgrader); }
    ASSERT_TRUE(g.value == 2 && g.violations.load() == 0);
  }
}
