#include "foundation/poll_retry.h"

#include <cerrno>
#include <chrono>

int LPollRetry(pollfd* fds, nfds_t count, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int wait_ms = timeout_ms;
  for (;;) {
    const int ready = ::poll(fds, count, wait_ms);
    if (ready >= 0 || errno != EINTR) return ready;
    if (timeout_ms < 0) continue;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    wait_ms = left.count() > 0 ? static_cast<int>(left.count()) : 0;
  }
}
