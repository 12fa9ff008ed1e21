#pragma once
// Timed file locks that cost no time: while the object lives, the pauses
// between lock tries are recorded instead of slept. Held(), when asked for,
// makes each pause wait for Release() instead, so that a test knows its
// threads are waiting on a lock.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "foundation/file_lock.h"

class KavrixLockPauses {
 public:
  explicit KavrixLockPauses(bool held = false) {
    std::lock_guard lock(State().mutex);
    State().pauses.clear();
    State().held = held;
    LSetFileLockPause(&Pause);
  }
  ~KavrixLockPauses() {
    Release();
    LSetFileLockPause(nullptr);
  }
  KavrixLockPauses(const KavrixLockPauses&) = delete;
  KavrixLockPauses& operator=(const KavrixLockPauses&) = delete;

  // The pauses so far, in milliseconds, in the order they were asked for.
  std::vector<int> Taken() const {
    std::lock_guard lock(State().mutex);
    return State().pauses;
  }
  // Whether `count` pauses have begun (within 10 s).
  bool WaitForPauses(std::size_t count) const {
    std::unique_lock lock(State().mutex);
    return State().changed.wait_for(lock, std::chrono::seconds(10), [count] { return State().pauses.size() >= count; });
  }
  void Release() {
    std::lock_guard lock(State().mutex);
    State().held = false;
    State().changed.notify_all();
  }

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> pauses;
    bool held = false;
  };
  static Shared& State() {
    static Shared shared;
    return shared;
  }
  static void Pause(int ms) {
    std::unique_lock lock(State().mutex);
    State().pauses.push_back(ms);
    State().changed.notify_all();
    State().changed.wait(lock, [] { return !State().held; });
  }
};
