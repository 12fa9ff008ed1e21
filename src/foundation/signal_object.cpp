#include "foundation/signal_object.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#if __has_include(<sys/eventfd.h>)
#include <sys/eventfd.h>
#define KAVRIX_HAS_EVENTFD 1
#endif

#include "foundation/poll_retry.h"

namespace {

// Polls up to three read ends; entries of -1 are ignored by poll().
bool WaitAny(const int* fds, int count, int timeout_ms) {
  pollfd entries[3];
  bool any_valid = false;
  for (int i = 0; i < count; ++i) {
    entries[i] = pollfd{fds[i], POLLIN, 0};
    any_valid = any_valid || fds[i] >= 0;
  }
  // Nothing to wait on must not turn a forever wait into a hang.
  if (!any_valid && timeout_ms < 0) return false;
  if (LPollRetry(entries, static_cast<nfds_t>(count), timeout_ms) <= 0) return false;
  for (int i = 0; i < count; ++i) {
    if (entries[i].revents & (POLLIN | POLLHUP | POLLERR)) return true;
  }
  return false;
}

int NonNegative(int timeout_ms) { return timeout_ms < 0 ? 0 : timeout_ms; }

}  // namespace

bool LSignalObjectRef::IsSignaled() const { return WaitAny(&read_fd_, 1, 0); }

bool LSignalObjectRef::WaitSignal(int timeout_ms) const {
  return WaitAny(&read_fd_, 1, NonNegative(timeout_ms));
}

bool LSignalObjectRef::WaitSignalForever() const { return WaitAny(&read_fd_, 1, -1); }

bool LSignalObjectRef::WaitSignalDual(const LSignalObjectRef& other, int timeout_ms) const {
  const int fds[2] = {read_fd_, other.read_fd_};
  return WaitAny(fds, 2, NonNegative(timeout_ms));
}

bool LSignalObjectRef::WaitSignalTriple(const LSignalObjectRef& a, const LSignalObjectRef& b,
                                        int timeout_ms) const {
  const int fds[3] = {read_fd_, a.read_fd_, b.read_fd_};
  return WaitAny(fds, 3, NonNegative(timeout_ms));
}

LSignalObject::LSignalObject() {
#ifdef KAVRIX_HAS_EVENTFD
  read_end_.Reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
#else
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  read_end_.Reset(fds[0]);
  write_end_.Reset(fds[1]);
#endif
  read_fd_ = read_end_.Get();
}

void LSignalObject::Signal() {
  if (!read_end_) return;
#ifdef KAVRIX_HAS_EVENTFD
  const std::uint64_t one = 1;
  // The counter only stays above zero; EAGAIN (at its very top) means the
  // object is signalled already.
  while (::write(read_end_.Get(), &one, sizeof one) < 0 && errno == EINTR) {
  }
#else
  const char byte = 1;
  // A full pipe (EAGAIN) means the object is signalled already.
  while (::write(write_end_.Get(), &byte, 1) < 0 && errno == EINTR) {
  }
#endif
}

void LSignalObject::Reset() {
  if (!read_end_) return;
#ifdef KAVRIX_HAS_EVENTFD
  // One read takes the whole counter back to zero.
  std::uint64_t count = 0;
  while (::read(read_end_.Get(), &count, sizeof count) < 0 && errno == EINTR) {
  }
#else
  char buffer[64];
  for (;;) {
    const ssize_t got = ::read(read_end_.Get(), buffer, sizeof buffer);
    if (got > 0) continue;
    if (got < 0 && errno == EINTR) continue;
    return;  // empty (EAGAIN) or the write end is gone
  }
#endif
}
