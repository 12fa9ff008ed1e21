#pragma once
// A mutex shared between processes, held in a System V semaphore (one per
// set, value 1 when free). Locks are taken with SEM_UNDO, so the kernel gives
// back the hold of a process that dies while holding it.
//
// Ownership of the kernel object: the object that created the set removes it
// in its destructor, and only in the process that created it (a forked
// child's copy of the object leaves it alone). Objects that opened an
// existing set never remove it. The creating process therefore keeps its
// object for as long as the others use the lock.

#include <sys/types.h>

class LSystemLockMutex {
 public:
  // Opens the set of `key` (IPC_PRIVATE always makes a new one), creating it
  // with mode 0666 and value 1 when it does not exist.
  explicit LSystemLockMutex(key_t key);
  ~LSystemLockMutex();
  LSystemLockMutex(const LSystemLockMutex&) = delete;
  LSystemLockMutex& operator=(const LSystemLockMutex&) = delete;

  bool IsValid() const { return semaphore_id_ >= 0; }
  bool CreatedIt() const { return created_; }
  int GetSemaphoreId() const { return semaphore_id_; }

  // Blocks until held. False when the set is gone or unusable.
  [[nodiscard]] bool LockForever();
  // Tries every 10 ms; gives up when fewer than 11 ms of the timeout remain,
  // or at once on any error other than "busy".
  [[nodiscard]] bool Lock(int timeout_ms);
  bool Unlock();

 private:
  int semaphore_id_ = -1;
  bool created_ = false;
  pid_t creator_pid_ = -1;
};
