#pragma once
// Threads that stop cooperatively. Each LThread owns a stop flag and a stop
// signal; every blocking wait of a thread body also waits on the signal (see
// process_wait.h) or tests the flag at least every 200 ms, so a stop request
// takes effect promptly.
//
// Lock order: LDetachedThreadsOwner's list mutex, then a thread's start mutex.
// Neither is held while a thread body runs, and no body may call Start, Join
// or StopThreadNow on its own object.

#include <poll.h>
#include <pthread.h>
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <mutex>

#include "foundation/process_result.h"
#include "foundation/signal_object.h"

class LThread {
 public:
  // The most poll entries a group wait takes, the stop signal included.
  static constexpr int kMaxWaitGroup = 255;

  LThread() = default;
  // Stops and joins the thread. A subclass whose members the body uses must
  // call StopThreadNow() in its own destructor, because by the time this one
  // runs those members are gone.
  virtual ~LThread();
  LThread(const LThread&) = delete;
  LThread& operator=(const LThread&) = delete;

  // Does nothing while the thread runs (returns true); joins a finished one
  // first. False when no thread could be created.
  bool Start(int priority);
  // Asks the body to end; does not wait.
  void StopThreadSoon();
  // Asks the body to end and waits until it has.
  void StopThreadNow();
  // Waits for the body to end without asking it to.
  void Join();
  // Applies the priority rule (LApplyThreadPriority) to the running thread
  // and keeps it for the next start.
  void SetPriority(int priority);

  bool IsStopRequested() const { return stop_flag_.load(); }
  bool IsRunning() const { return running_.load(); }
  // The kernel thread id while the body runs, -1 otherwise.
  pid_t GetThreadId() const { return thread_id_.load(); }
  int GetPriority() const { return priority_.load(); }
  LSignalObjectRef GetStopSignal() const { return stop_signal_.Ref(); }

  // Waits on `count` (at most kMaxWaitGroup) poll entries; the stop signal
  // joins them as the last entry when there is room. kLProcessStopped when
  // the stop signal fired, kLProcessDone when only group entries are ready
  // (their revents are filled in), kLProcessFailed on timeout or a bad group.
  // A negative timeout waits without limit. A full group has no room for the
  // stop signal: only the group is reported, its last entry as a member.
  LProcessResult ProcessWaitSignalObjectGroup(pollfd* group, int count, int timeout_ms);

  // Stack size of every thread created from now on; 0 keeps the system's
  // default. A server with thousands of connection threads sets a modest one.
  static void SetDefaultStackSize(size_t bytes);
  static size_t GetDefaultStackSize();
  // Stack size of this object's thread from its next start on; 0 (the
  // initial value) uses the default above. Lets a server give its many
  // connection threads a modest stack without shrinking every other thread.
  void SetStackSize(size_t bytes) { stack_size_.store(bytes); }

 protected:
  virtual void ThreadFunction() = 0;
  // Runs on the thread after the body, once running is clear and the id is
  // -1. It may delete the object, so nothing of it is touched afterwards.
  virtual void ThreadExited() {}

  // Creates the thread; the caller holds start_mutex_ and has set the flags.
  bool CreateThread();
  // Clears stop flag and signal, sets running and priority before a start.
  void PrepareStart(int priority);
  // Joins when a handle exists; the caller holds start_mutex_.
  void JoinLocked();

  // Guards handle_ and has_handle_; makes start, join and destruction of one
  // object happen one at a time.
  std::mutex start_mutex_;
  pthread_t handle_{};
  bool has_handle_ = false;

 private:
  static void* ThreadEntry(void* self);

  LSignalObject stop_signal_;
  std::atomic<bool> stop_flag_{false};
  std::atomic<pid_t> thread_id_{-1};
  std::atomic<int> priority_{0};
  std::atomic<bool> running_{false};
  std::atomic<size_t> stack_size_{0};
};

// The priority rule: below 1 sets the nice value to minus the priority and
// the time-sharing policy; 1 or more sets nice 0 and round-robin real time
// with that priority. Refusals (EPERM without the right capability) are
// ignored: a thread at the wrong priority still does its work.
void LApplyThreadPriority(pid_t thread_id, int priority);
