#include "foundation/system_lock_mutex.h"

#include <sys/ipc.h>
#include <sys/sem.h>

#include "support/test_helpers.h"

class SystemLockMutexTest : public KavrixTempRoot {};

static bool SetExists(int id) { return semctl(id, 0, GETVAL) != -1; }

// The parent holds the lock: the child's timed try fails and its forever
// wait ends when the parent lets go. The child's copy does not remove the set.
TEST_F(SystemLockMutexTest, ExcludesAForkedChildUntilUnlocked) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  ASSERT_TRUE(mutex.IsValid() && mutex.Lock(1000));
  TestPipe tried, got;
  TestChild child([&] {
    if (mutex.Lock(10) || !tried.Send() || !mutex.LockForever() || !got.Send()) return 1;
    return mutex.Unlock() ? 0 : 2;
  });
  child.Release();
  ASSERT_TRUE(tried.Receive());
  EXPECT_FALSE(got.Ready());
  EXPECT_TRUE(mutex.Unlock() && got.Receive());
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_TRUE(mutex.Lock(0) && SetExists(mutex.GetSemaphoreId()));
}
