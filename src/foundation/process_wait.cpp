#include "foundation/process_wait.h"

#include <algorithm>

#include "foundation/poll_retry.h"
#include "foundation/thread.h"

namespace {

int StopFd(LThread* thread) { return thread != nullptr ? thread->GetStopSignal().GetFd() : -1; }

// Entry 0 is the stop signal (fd -1, ignored by poll, without a thread).
LProcessResult WaitEntries(pollfd* entries, nfds_t count, int timeout_ms) {
  const int ready = LPollRetry(entries, count, timeout_ms);
  if (ready <= 0) return kLProcessFailed;
  if (entries[0].revents != 0) return kLProcessStopped;
  return kLProcessDone;
}

}  // namespace

LProcessResult ProcessWaitSignal(LThread* thread, const LSignalObjectRef& object, int timeout_ms) {
  pollfd entries[2] = {{StopFd(thread), POLLIN, 0}, {object.GetFd(), POLLIN, 0}};
  return WaitEntries(entries, 2, std::max(timeout_ms, 0));
}

LProcessResult ProcessWaitSignalForever(LThread* thread, const LSignalObjectRef& object) {
  if (StopFd(thread) < 0 && object.GetFd() < 0) return kLProcessFailed;
  pollfd entries[2] = {{StopFd(thread), POLLIN, 0}, {object.GetFd(), POLLIN, 0}};
  return WaitEntries(entries, 2, -1);
}

LProcessResult ProcessWaitSignals(LThread* thread, const LSignalObjectRef& a,
                                  const LSignalObjectRef& b, int timeout_ms) {
  pollfd entries[3] = {
      {StopFd(thread), POLLIN, 0}, {a.GetFd(), POLLIN, 0}, {b.GetFd(), POLLIN, 0}};
  return WaitEntries(entries, 3, std::max(timeout_ms, 0));
}

LProcessResult ProcessWaitFd(LThread* thread, int fd, short events, int timeout_ms,
                             short* revents) {
  if (fd < 0) return kLProcessFailed;
  const long long start = LMonotonicMs();
  const auto elapsed_ms = [start] { return LMonotonicMs() - start; };
  for (;;) {
    if (thread != nullptr && thread->IsStopRequested()) return kLProcessStopped;
    int slice = kLWaitSliceMs;
    if (timeout_ms >= 0) {
      slice = static_cast<int>(std::clamp<long long>(timeout_ms - elapsed_ms(), 0, kLWaitSliceMs));
    }
    pollfd entries[2] = {{StopFd(thread), POLLIN, 0}, {fd, events, 0}};
    if (LPollRetry(entries, 2, slice) < 0) return kLProcessFailed;
    if (entries[0].revents != 0) return kLProcessStopped;
    if (entries[1].revents & POLLNVAL) return kLProcessFailed;
    if (entries[1].revents != 0) {
      if (revents != nullptr) *revents = entries[1].revents;
      return kLProcessDone;
    }
    if (timeout_ms >= 0 && elapsed_ms() >= timeout_ms) return kLProcessFailed;
  }
}
