#pragma once
// What the service keeps of one connected desktop, shared between the
// connection's own thread (the only one that reads and writes its socket),
// the dispatcher (which runs its request) and every thread that logs (which
// queues lines for it). Held by shared_ptr, so the dispatcher and a logging
// thread may still hold it while the connection ends.
//
// Why a queue: a desktop that does not read its socket must never hold up
// the thread that logs, and through it the whole service. Log lines beyond
// the queue's limit are dropped and counted; the desktop is told how many
// once the queue has room again. Replies and notifications are never dropped;
// a peer that lets them pile up past the hard limit is disconnected.

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "foundation/signal_object.h"
#include "foundation/unique_fd.h"
#include "service/control_wire.h"

// Bytes of log lines one connection may have waiting.
inline constexpr size_t kLControlQueueLogBytes = 512 * 1024;
// Bytes of any kind past which the connection is given up.
inline constexpr size_t kLControlQueueHardBytes = 2 * 1024 * 1024;

class LControlPeer {
 public:
  // `mayCommand`: the peer may change or stop the service.
  LControlPeer(LUniqueFd socket, pid_t pid, uid_t uid, bool mayCommand);

  int Fd() const { return socket_.Get(); }
  uid_t Uid() const { return uid_; }
  pid_t Pid() const { return pid_; }
  bool MayCommand() const { return mayCommand_; }

  // Queues a log line; false when it was dropped.
  bool QueueLogLine(const std::string& bytes);
  // Queues a reply or notification; false when the peer is given up.
  bool QueueMessage(const std::string& bytes);
  // Takes queued messages into `out` (appended), whole ones, up to `limit`
  // bytes but at least one; false when none. The caller takes again before
  // it waits for a wake-up: a message queued behind others wakes no one.
  bool TakeOutput(std::string& out, size_t limit);
  bool HasOutput();
  // Lines dropped since the last report, reset by the call; 0 while the
  // queue is still more than half full.
  uint64_t TakeDroppedCount();

  // Set by the writers; wakes the connection thread.
  LSignalObjectRef WakeSignal() const { return wake_.Ref(); }
  void ResetWake() { wake_.Reset(); }
  void Wake() { wake_.Signal(); }

  // The request handed to the dispatcher; set and read while `pending` says
  // whose turn it is (the connection thread writes it before setting pending,
  // the dispatcher reads it before clearing pending).
  LControlMessage request;
  std::atomic<bool> pending{false};
  // Set when the peer is given up; the connection thread ends on it.
  std::atomic<bool> broken{false};

 private:
  // Constant after construction.
  const LUniqueFd socket_;
  const pid_t pid_;
  const uid_t uid_;
  const bool mayCommand_;

  LSignalObject wake_;
  // Guards queue_, queuedBytes_, queuedLogBytes_ and dropped_.
  std::mutex queueMutex_;
  struct Item {
    std::string bytes;
    bool logLine;
  };
  std::deque<Item> queue_;
  size_t queuedBytes_ = 0;
  size_t queuedLogBytes_ = 0;
  uint64_t dropped_ = 0;
};
