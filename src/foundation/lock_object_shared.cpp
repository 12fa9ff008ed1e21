#include "foundation/lock_object_shared.h"

void LLockObjectShared::LockShared() {
  std::lock_guard<std::mutex> lock(mutex_);
  no_readers_.Reset();
  ++readers_;
}

void LLockObjectShared::UnlockShared() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (--readers_ < 1) no_readers_.Signal();
}

void LLockObjectShared::Lock() {
  mutex_.lock();
  WaitForNoReadersLocked();
}

void LLockObjectShared::Unlock() { mutex_.unlock(); }

void LLockObjectShared::DowngradeLock() {
  no_readers_.Reset();
  ++readers_;
  mutex_.unlock();
}

void LLockObjectShared::UpgradeLock() {
  mutex_.lock();
  // Set the signal when this was the last reader: another upgrader waiting
  // for the count to fall must wake, or it would wait until some unrelated
  // reader came and went.
  if (--readers_ < 1) no_readers_.Signal();
  WaitForNoReadersLocked();
}

void LLockObjectShared::WaitForNoReadersLocked() {
  while (readers_ >= 1) {
    mutex_.unlock();
    no_readers_.WaitSignalForever();
    mutex_.lock();
  }
}
