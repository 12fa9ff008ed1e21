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

// SEM_UNDO gives back the hold of a process that dies holding it; a timed
// lock gives up at once when fewer than 11 ms are left.
TEST_F(SystemLockMutexTest, HoldOfADeadProcessIsReleasedAndTimedLocksGiveUp) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  TestChild child([&] { return mutex.LockForever() ? 0 : 1; });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_TRUE(mutex.Lock(1000));
  EXPECT_FALSE(mutex.Lock(10) || mutex.Lock(0));
  ASSERT_EQ(semctl(mutex.GetSemaphoreId(), 0, IPC_RMID), 0);
  EXPECT_FALSE(mutex.LockForever() || mutex.Lock(1000) || mutex.Unlock()) << "a removed set fails";
}
