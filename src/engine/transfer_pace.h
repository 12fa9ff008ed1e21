#pragma once
// How long a whole transfer (a request body, an answer, a station message)
// may take: a fixed allowance plus one second for every `minBytesPerSecond`
// bytes. A silence time-out alone never runs out against a peer that sends
// or reads one byte now and then; a pace does, while any real link (even a
// slow one) keeps well above its floor.

#include <atomic>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "engine/recv_deadline.h"

struct LTransferPace {
  int baseMs = 0;
  std::size_t minBytesPerSecond = 1;

  // The time allowed for `bytes`, capped at INT_MAX ms.
  int AllowedMs(std::uint64_t bytes) const {
    const std::uint64_t rate = minBytesPerSecond == 0 ? 1 : minBytesPerSecond;
    const std::uint64_t scaled = bytes / rate * 1000 + bytes % rate * 1000 / rate;
    const std::uint64_t total = static_cast<std::uint64_t>(baseMs < 0 ? 0 : baseMs) + scaled;
    return total > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(total);
  }
  // A deadline from now for a transfer of `bytes`.
  LRecvDeadline DeadlineFor(std::uint64_t bytes) const { return LRecvDeadline::InMs(AllowedMs(bytes)); }
};

// A pace that one thread may change while others read it (tests shrink the
// server's paces while connections run).
class LTransferPaceSetting {
 public:
  explicit LTransferPaceSetting(const LTransferPace& pace) { Store(pace); }
  void Store(const LTransferPace& pace) {
    baseMs_.store(pace.baseMs);
    minBytesPerSecond_.store(pace.minBytesPerSecond);
  }
  LTransferPace Load() const { return LTransferPace{baseMs_.load(), minBytesPerSecond_.load()}; }

 private:
  std::atomic<int> baseMs_{0};
  std::atomic<std::size_t> minBytesPerSecond_{1};
};
