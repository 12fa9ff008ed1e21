#pragma once
// Waits that a stop request cuts short. Each takes the calling thread, whose
// stop signal joins the wait; the thread may be null for code that runs
// outside an LThread (a plain function, a test), and then only the object
// and the time decide. Every wait returns an LProcessResult: done, stopped
// (the stop signal fired; it wins when both are ready), or failed/timed out.

#include <poll.h>

#include "foundation/process_result.h"
#include "foundation/signal_object.h"

class LThread;

// The longest single wait before the stop flag is tested again.
inline constexpr int kLWaitSliceMs = 200;

// Negative timeouts count as 0.
LProcessResult ProcessWaitSignal(LThread* thread, const LSignalObjectRef& object, int timeout_ms);
LProcessResult ProcessWaitSignalForever(LThread* thread, const LSignalObjectRef& object);
// Done when either object is signalled.
LProcessResult ProcessWaitSignals(LThread* thread, const LSignalObjectRef& a,
                                  const LSignalObjectRef& b, int timeout_ms);

// Waits until `fd` reports any of `events` (POLLIN, POLLOUT, POLLPRI) or an
// error or hang-up, in waits of at most kLWaitSliceMs with the stop flag
// tested before each one and the stop signal in each. Done when the fd is
// ready (its revents go to *revents when given); stopped; failed when the
// time runs out, the fd is not open (POLLNVAL) or poll itself fails. A
// timeout of 0 looks once without waiting; a negative one waits until ready
// or stopped. The time counted is the real time passed.
LProcessResult ProcessWaitFd(LThread* thread, int fd, short events, int timeout_ms,
                             short* revents = nullptr);
