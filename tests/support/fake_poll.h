#pragma once
// Timed waits that cost no time: while the object lives, poll() finds
// nothing ready and moves a fake clock on by its whole time-out, or, while
// interruptions are queued, by the next of them and fails with EINTR. The
// time-outs poll() was given are recorded. For one thread at a time.

#include <cerrno>
#include <deque>
#include <vector>

#include "foundation/poll_retry.h"

class KavrixFakePoll {
 public:
  KavrixFakePoll() {
    State() = Shared{};
    LSetPollAndClock(&Poll, &Now);
  }
  ~KavrixFakePoll() { LSetPollAndClock(nullptr, nullptr); }
  KavrixFakePoll(const KavrixFakePoll&) = delete;
  KavrixFakePoll& operator=(const KavrixFakePoll&) = delete;

  // The next poll() is cut short by a signal after `ms`.
  void InterruptAfter(int ms) { State().interruptions.push_back(ms); }
  const std::vector<int>& Timeouts() const { return State().timeouts; }

 private:
  struct Shared {
    long long now = 1000000;
    std::deque<int> interruptions;
    std::vector<int> timeouts;
  };
  static Shared& State() {
    static Shared shared;
    return shared;
  }
  static long long Now() { return State().now; }
  static int Poll(pollfd* fds, nfds_t count, int timeout_ms) {
    Shared& state = State();
    state.timeouts.push_back(timeout_ms);
    for (nfds_t i = 0; i < count; ++i) fds[i].revents = 0;
    if (!state.interruptions.empty()) {
      state.now += state.interruptions.front();
      state.interruptions.pop_front();
      errno = EINTR;
      return -1;
    }
    state.now += timeout_ms;
    return 0;
  }
};
