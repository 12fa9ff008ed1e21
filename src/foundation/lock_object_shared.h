#pragma once
// A shared/exclusive lock: any number of readers, or one writer. A writer
// holds the mutex for as long as it writes; readers hold only a count. The
// signal object is set exactly while the count is below 1 (it changes only
// under the mutex), so a writer that finds readers waits for it and wakes as
// soon as the last reader leaves. Readers are not held back by a waiting
// writer: a steady stream of readers can keep a writer waiting.
//
// Take it after any thread-level lock (list mutexes, start mutexes) and do
// not take other locks that a reader might wait for while holding it.

#include <mutex>

#include "foundation/signal_object.h"

class LLockObjectShared {
 public:
  LLockObjectShared() = default;
  LLockObjectShared(const LLockObjectShared&) = delete;
  LLockObjectShared& operator=(const LLockObjectShared&) = delete;

  void LockShared();
  void UnlockShared();
  // Exclusive; must be released by the same thread with Unlock or turned into
  // a shared hold with DowngradeLock.
  void Lock();
  void Unlock();
  // Exclusive hold -> shared hold, without letting a writer in between.
  void DowngradeLock();
  // Shared hold -> exclusive hold. Another writer may get in first, so what
  // was read under the shared hold must be read again.
  void UpgradeLock();

 private:
  // Waits, mutex released, until the readers are gone; returns with the
  // mutex held. The caller holds the mutex.
  void WaitForNoReadersLocked();

  std::mutex mutex_;  // guards readers_; held throughout an exclusive hold
  int readers_ = 0;
  LSignalObject no_readers_;  // set while readers_ < 1, after a reader left
};
