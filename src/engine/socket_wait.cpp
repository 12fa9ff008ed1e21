#include "engine/socket_wait.h"

#include <poll.h>

#include <atomic>

#include "engine/wait_budget.h"
#include "foundation/poll_retry.h"
#include "foundation/thread.h"

namespace {

std::atomic<LSocketSliceFunction> gSlice{&LPollSocketSlice};

}  // namespace

void LSetSocketSliceFunction(LSocketSliceFunction slice) { gSlice = slice != nullptr ? slice : &LPollSocketSlice; }

LSocketSlice LWaitSocketSlice(LThread* thread, int fd, short events) { return gSlice.load()(thread, fd, events); }

LSocketSlice LPollSocketSlice(LThread* thread, int fd, short events) {
  if (thread != nullptr && thread->IsStopRequested()) return LSocketSlice::kStopped;
  const int stopFd = thread != nullptr ? thread->GetStopSignal().GetFd() : -1;
  // poll ignores the entry with fd -1, so a thread without a stop signal
  // waits on the socket alone.
  pollfd entries[2] = {{stopFd, POLLIN, 0}, {fd, events, 0}};
  if (LPollRetry(entries, 2, kLSocketSliceMs) < 0) return LSocketSlice::kFailed;
  if (entries[0].revents != 0) return LSocketSlice::kStopped;
  if (entries[1].revents & POLLNVAL) return LSocketSlice::kFailed;
  if (entries[1].revents != 0) return LSocketSlice::kReady;
  return LSocketSlice::kEmpty;
}

LProcessResult LWaitSocketOrGiveUp(LThread* thread, int fd, short events, LWaitBudget& budget) {
  switch (LWaitSocketSlice(thread, fd, events)) {
    case LSocketSlice::kReady:
      return kLProcessDone;
    case LSocketSlice::kEmpty:
      return budget.ChargeEmptySlice() ? kLProcessDone : kLProcessFailed;
    case LSocketSlice::kStopped:
      return kLProcessStopped;
    case LSocketSlice::kFailed:
      break;
  }
  return kLProcessFailed;
}
