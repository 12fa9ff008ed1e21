#pragma once
// Threads that delete themselves when their body returns, kept in their
// owner's list so that the owner can stop and reap whatever still runs. A
// server that spawns one thread per connection is such an owner.
//
// Who deletes an object: whoever takes it off the list. A thread that ends by
// itself unlinks itself under the list mutex and, when it was still linked,
// detaches and deletes itself. When the owner took it off first (to stop it),
// the thread leaves it alone; the owner joins it and deletes it. So every
// object is deleted exactly once, and never joined after it was freed. The
// owner also counts self-deletions in progress, and StopThreadsNow waits for
// them, so that no subclass destructor still runs once it has returned.
//
// Lock order: the list mutex, then the thread's start mutex. The list mutex is
// never held while a thread is joined or an object destroyed, so destructors
// of subclasses may log, close sockets and take other locks.

#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "foundation/thread.h"

class LDetachedThreadsOwner;

class LDetachedThread : public LThread {
 public:
  LDetachedThread() = default;
  ~LDetachedThread() override;

  // Links the object at the front of the owner's list and starts it; call it
  // once per object. On true the owner owns the object: it is deleted when
  // its body ends or by the owner. On false when no thread could be created,
  // the object is not in the list and the caller still owns it: it deletes
  // it, which closes what the object holds, and logs the failure. (A second
  // call on a started object also gives false and changes nothing.)
  [[nodiscard]] bool StartDetached(LDetachedThreadsOwner* owner, int priority);

 protected:
  void ThreadExited() override;

 private:
  friend class LDetachedThreadsOwner;
  LDetachedThreadsOwner* owner_ = nullptr;
  LDetachedThread* next_ = nullptr;  // guarded by the owner's list mutex
};

class LDetachedThreadsOwner {
 public:
  LDetachedThreadsOwner() = default;
  // Stops and reaps every thread (StopThreadsNow). A subclass whose members
  // the threads use calls StopThreadsNow() in its own destructor.
  virtual ~LDetachedThreadsOwner();
  LDetachedThreadsOwner(const LDetachedThreadsOwner&) = delete;
  LDetachedThreadsOwner& operator=(const LDetachedThreadsOwner&) = delete;

  // Asks every thread to stop; does not wait.
  void StopThreadsSoon();
  // Asks every thread to stop, then joins and deletes them one by one until
  // the list is empty (threads started meanwhile are taken as well), and
  // waits for threads that are deleting themselves.
  void StopThreadsNow();
  // The number of threads in the list.
  size_t GetThreadCount();

 private:
  friend class LDetachedThread;
  // Called on a thread whose body has returned: unlinks it and deletes it.
  // Returns false, touching nothing, when the thread is no longer in the list
  // (the owner took it and will join and delete it).
  bool Destruct(LDetachedThread* thread);
  // Takes the first thread off the list, or null when it is empty.
  LDetachedThread* TakeFirst();

  // Guards head_, count_, exiting_ and every linked thread's next_.
  std::mutex list_mutex_;
  // Signalled (under list_mutex_) when exiting_ falls to 0.
  std::condition_variable reaped_;
  LDetachedThread* head_ = nullptr;
  size_t count_ = 0;
  // Threads unlinked by Destruct whose deletion has not finished yet.
  size_t exiting_ = 0;
};
