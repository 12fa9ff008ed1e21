#include "foundation/poll_retry.h"

#include <atomic>
#include <cerrno>
#include <chrono>

namespace {

long long SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::atomic<LPollFunction> poll_function{&::poll};
std::atomic<LClockFunction> clock_function{&SteadyMs};

}  // namespace

long long LMonotonicMs() { return clock_function.load()(); }

void LSetPollAndClock(LPollFunction replacement_poll, LClockFunction replacement_clock) {
  poll_function = replacement_poll ? replacement_poll : &::poll;
  clock_function = replacement_clock ? replacement_clock : &SteadyMs;
}

int LPollRetry(pollfd* fds, nfds_t count, int timeout_ms) {
  const long long deadline = LMonotonicMs() + timeout_ms;
  int wait_ms = timeout_ms;
  for (;;) {
    const int ready = poll_function.load()(fds, count, wait_ms);
    if (ready >= 0 || errno != EINTR) return ready;
    if (timeout_ms < 0) continue;
    const long long left = deadline - LMonotonicMs();
    wait_ms = left > 0 ? static_cast<int>(left) : 0;
  }
}
