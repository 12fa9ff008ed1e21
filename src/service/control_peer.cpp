#include "service/control_peer.h"

#include <utility>

LControlPeer::LControlPeer(LUniqueFd socket, pid_t pid, uid_t uid, bool mayCommand)
    : socket_(std::move(socket)), pid_(pid), uid_(uid), mayCommand_(mayCommand) {}

// The connection thread empties the queue whenever it wakes, so only the
// first message into an empty queue needs to wake it: with many desktops and
// a busy log that saves a wake-up per line and desktop.
bool LControlPeer::QueueLogLine(const std::string& bytes) {
  bool wasEmpty = false;
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    if (queuedLogBytes_ + bytes.size() > kLControlQueueLogBytes) {
      ++dropped_;
      return false;
    }
    wasEmpty = queue_.empty();
    queue_.push_back({bytes, true});
    queuedBytes_ += bytes.size();
    queuedLogBytes_ += bytes.size();
  }
  if (wasEmpty) Wake();
  return true;
}

bool LControlPeer::QueueMessage(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    if (queuedBytes_ + bytes.size() > kLControlQueueHardBytes) {
      broken.store(true);
    } else {
      queue_.push_back({bytes, false});
      queuedBytes_ += bytes.size();
    }
  }
  Wake();
  return !broken.load();
}

bool LControlPeer::TakeOutput(std::string& out, size_t limit) {
  std::lock_guard<std::mutex> lock(queueMutex_);
  if (queue_.empty()) return false;
  // Whole messages only, so that a message is never split between two
  // writers' turns; at least one, however long.
  do {
    Item& item = queue_.front();
    queuedBytes_ -= item.bytes.size();
    if (item.logLine) queuedLogBytes_ -= item.bytes.size();
    out += item.bytes;
    queue_.pop_front();
  } while (!queue_.empty() && out.size() + queue_.front().bytes.size() <= limit);
  return true;
}

bool LControlPeer::HasOutput() {
  std::lock_guard<std::mutex> lock(queueMutex_);
  return !queue_.empty();
}

uint64_t LControlPeer::TakeDroppedCount() {
  std::lock_guard<std::mutex> lock(queueMutex_);
  // Told once half the queue is free again, so that the note comes near the
  // gap rather than after everything queued behind it.
  if (queuedLogBytes_ > kLControlQueueLogBytes / 2) return 0;
  return std::exchange(dropped_, 0);
}
