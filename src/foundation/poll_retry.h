#pragma once
// poll() that survives signals: a wait interrupted by EINTR is resumed with
// only the time that is left, so a signal neither shortens nor stretches it.

#include <poll.h>

// `timeout_ms` < 0 waits without limit. Returns what poll() returns: the
// number of ready entries, 0 when the time ran out, -1 on a real error.
int LPollRetry(pollfd* fds, nfds_t count, int timeout_ms);

// Milliseconds of the monotonic clock that timed waits measure with.
long long LMonotonicMs();

// The poll() and the clock of the waits above. Tests put in their own so
// that a wait costs no real time; nullptr brings back the real one.
using LPollFunction = int (*)(pollfd* fds, nfds_t count, int timeout_ms);
using LClockFunction = long long (*)();
void LSetPollAndClock(LPollFunction poll_function, LClockFunction clock_function);
