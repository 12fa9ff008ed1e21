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

// Half the writers come from a shared hold: two readers upgrading at once
// must both complete, the first to find no readers left waking the other.
TEST(LockObjectSharedTest, WritersAndUpgradersExcludeReadersAndEachOther) {
  Guarded g;
  std::vector<std::thread> threads;
  auto read = [&] { for (int i = 0; i < 3000; ++i) g.Read(); };
  auto write = [&](bool upgrade) {
    for (int i = 0; i < 1000; ++i) {
      upgrade ? (g.lock.LockShared(), g.lock.UpgradeLock()) : g.lock.Lock();
      g.Write();
      g.lock.Unlock();
    }
  };
  for (int t = 0; t < 4; ++t) threads.emplace_back(read);
  for (bool upgrade : {false, false, true, true}) threads.emplace_back(write, upgrade);
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(g.violations.load() == 0 && g.value == 4000);
}
