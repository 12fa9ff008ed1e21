#include "foundation/system_lock_mutex.h"

#include <sys/ipc.h>
#include <sys/sem.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "foundation/unique_fd.h"
#include "support/temp_root.h"

class SystemLockMutexTest : public KavrixTempRoot {};

namespace {

bool SetExists(int id) { return semctl(id, 0, GETVAL) != -1; }

char ReadByte(int fd) {
  char byte = 0;
  return read(fd, &byte, 1) == 1 ? byte : '?';
}

}  // namespace

// Parent holds the lock; the child's timed try fails, its forever wait ends
// when the parent lets go.
TEST_F(SystemLockMutexTest, ExcludesAForkedChildUntilUnlocked) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  ASSERT_TRUE(mutex.IsValid());
  ASSERT_TRUE(mutex.Lock(1000));
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  LUniqueFd from_child(fds[0]);
  LUniqueFd to_parent(fds[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const char tried = mutex.Lock(50) ? 'L' : 'F';
    (void)!write(to_parent.Get(), &tried, 1);
    const char got = mutex.LockForever() ? 'G' : 'E';
    (void)!write(to_parent.Get(), &got, 1);
    _exit(mutex.Unlock() ? 0 : 1);
  }
  to_parent.Reset();
  EXPECT_EQ(ReadByte(from_child.Get()), 'F');
  EXPECT_TRUE(mutex.Unlock());
  EXPECT_EQ(ReadByte(from_child.Get()), 'G');
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(mutex.Lock(0));
  EXPECT_TRUE(SetExists(mutex.GetSemaphoreId()));  // the child's copy did not remove it
}

// SEM_UNDO gives back the hold of a process that dies holding it.
TEST_F(SystemLockMutexTest, HoldOfADeadProcessIsReleased) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(mutex.LockForever() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(mutex.Lock(1000));
}

TEST_F(SystemLockMutexTest, TimedLockGivesUpAfterItsTime) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  ASSERT_TRUE(mutex.LockForever());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(mutex.Lock(100));
  // It stops once fewer than 11 ms are left.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(89));
  EXPECT_FALSE(mutex.Lock(0));
}

TEST_F(SystemLockMutexTest, OnlyTheCreatorRemovesTheSet) {
  const std::string anchor = TempDir() + "/lock";
  ASSERT_TRUE(KavrixWriteFile(anchor, ""));
  const key_t key = ftok(anchor.c_str(), 'K');
  ASSERT_NE(key, -1);
  int id = -1;
  {
    LSystemLockMutex creator(key);
    ASSERT_TRUE(creator.CreatedIt());
    id = creator.GetSemaphoreId();
    {
      LSystemLockMutex opener(key);
      EXPECT_FALSE(opener.CreatedIt());
      EXPECT_EQ(opener.GetSemaphoreId(), id);
      ASSERT_TRUE(opener.Lock(0));
      EXPECT_FALSE(creator.Lock(0));
      EXPECT_TRUE(opener.Unlock());
    }
    EXPECT_TRUE(SetExists(id));
    EXPECT_TRUE(creator.Lock(0));
  }
  EXPECT_FALSE(SetExists(id));
}

TEST_F(SystemLockMutexTest, RemovedSetMakesLocksFail) {
  LSystemLockMutex mutex(IPC_PRIVATE);
  ASSERT_EQ(semctl(mutex.GetSemaphoreId(), 0, IPC_RMID), 0);
  EXPECT_FALSE(mutex.LockForever());
  EXPECT_FALSE(mutex.Lock(1000));
  EXPECT_FALSE(mutex.Unlock());
}
