#pragma once
// A whole-answer deadline for every send of the calling thread while the
// scope lives. A send waits only while the peer leaves its buffers full;
// such a wait gives up once the time since the scope began is more than the
// pace allows for the bytes sent so far, so a client that reads one byte at
// a time is cut off however steadily it reads, while a reader that keeps up
// is never timed. The scope belongs to the thread rather than to each send,
// so that every path of an answer (page pieces, compressed pieces, files)
// is bounded without each carrying the deadline.

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "engine/transfer_pace.h"

class LSendPaceScope {
 public:
  explicit LSendPaceScope(const LTransferPace& pace);
  ~LSendPaceScope();
  LSendPaceScope(const LSendPaceScope&) = delete;
  LSendPaceScope& operator=(const LSendPaceScope&) = delete;

  // For the socket operations: bytes that the peer took, and whether a wait
  // for the peer is still allowed (always, outside any scope).
  static void CountSent(std::uint64_t bytes);
  [[nodiscard]] static bool WaitAllowed();
  // Whether a send of this scope gave up on the pace: the client is not
  // reading, and waiting for it to close would only hold the thread longer.
  bool Missed() const { return missed_; }

 private:
  LTransferPace pace_;
  std::chrono::steady_clock::time_point start_;
  std::uint64_t sent_ = 0;
  bool missed_ = false;
  LSendPaceScope* outer_;
};

// Lifts the thread's scope for its own life: a connection that turns into a
// long-lived session (a station's) is no longer one answer, and its sends
// keep only their own time-outs.
class LSendPaceLift {
 public:
  LSendPaceLift();
  ~LSendPaceLift();
  LSendPaceLift(const LSendPaceLift&) = delete;
  LSendPaceLift& operator=(const LSendPaceLift&) = delete;

 private:
  LSendPaceScope* lifted_;
};
