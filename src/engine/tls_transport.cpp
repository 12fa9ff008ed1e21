#include "engine/tls_transport.h"

#include <openssl/err.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "engine/send_pace.h"
#include "engine/socket_wait.h"
#include "engine/tls_server_context.h"
#include "engine/wait_budget.h"
#include "foundation/thread.h"

namespace {

// The largest TLS record: a bigger piece is cut into records anyway.
constexpr std::size_t kRecordBytes = 16 * 1024;
constexpr std::size_t kReadBytes = 4096;

bool StopRequested(LThread* thread) { return thread != nullptr && thread->IsStopRequested(); }

enum class Want { kRead, kWrite, kClosed, kFailed };

Want WantOf(SSL* ssl, int rc) {
  const int reason = SSL_get_error(ssl, rc);
  ERR_clear_error();
  switch (reason) {
    case SSL_ERROR_WANT_READ:
      return Want::kRead;
    case SSL_ERROR_WANT_WRITE:
      return Want::kWrite;
    case SSL_ERROR_ZERO_RETURN:
      return Want::kClosed;
    default:
      return Want::kFailed;
  }
}

// One slice of waiting for what OpenSSL asked for; kLProcessDone to go on.
LProcessResult WaitFor(LThread* thread, int fd, Want want, LWaitBudget& budget) {
  if (want != Want::kRead && want != Want::kWrite) return kLProcessFailed;
  return LWaitSocketOrGiveUp(thread, fd, want == Want::kRead ? POLLIN : POLLOUT, budget);
}

}  // namespace

LTlsTransport::LTlsTransport(const LTlsServerContext& context, int fd)
    : fd_(fd), ssl_(SSL_new(context.Get())) {
  if (ssl_ && SSL_set_fd(ssl_.get(), fd) != 1) ssl_.reset();
  ERR_clear_error();
}

LProcessResult LTlsTransport::Handshake(LThread* thread, int silenceMs, const LRecvDeadline& deadline) {
  if (!ssl_) return kLProcessFailed;
  LWaitBudget budget(silenceMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (deadline.Passed()) return kLProcessFailed;
    ERR_clear_error();
    const int rc = SSL_accept(ssl_.get());
    if (rc == 1) return kLProcessDone;
    const LProcessResult waited = WaitFor(thread, fd_, WantOf(ssl_.get(), rc), budget);
    if (waited != kLProcessDone) return waited;
  }
}

LProcessResult LTlsTransport::Send(LThread* thread, const void* data, std::size_t length, int timeoutMs,
                                   std::size_t /*pieceBytes*/) {
  if (!ssl_) return kLProcessFailed;
  const char* next = static_cast<const char*>(data);
  std::size_t left = length;
  LWaitBudget budget(timeoutMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (left == 0) return kLProcessDone;
    // A write that must wait is repeated with the same bytes, as OpenSSL
    // requires.
    const int piece = static_cast<int>(std::min(left, kRecordBytes));
    ERR_clear_error();
    const int rc = SSL_write(ssl_.get(), next, piece);
    if (rc > 0) {
      LSendPaceScope::CountSent(static_cast<std::uint64_t>(rc));
      next += rc;
      left -= static_cast<std::size_t>(rc);
      continue;
    }
    if (!LSendPaceScope::WaitAllowed()) return kLProcessFailed;
    const LProcessResult waited = WaitFor(thread, fd_, WantOf(ssl_.get(), rc), budget);
    if (waited != kLProcessDone) return waited;
  }
}

LProcessResult LTlsTransport::SendFile(LThread* thread, int fileFd, std::uint64_t length, int timeoutMs) {
  // The bytes must pass through OpenSSL: read and send them piece by piece.
  char piece[kRecordBytes];
  std::uint64_t left = length;
  while (left > 0) {
    const ssize_t got = ::read(fileFd, piece, static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof piece)));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return kLProcessFailed;  // an error, or the file ended early
    const LProcessResult sent = Send(thread, piece, static_cast<std::size_t>(got), timeoutMs, kRecordBytes);
    if (sent != kLProcessDone) return sent;
    left -= static_cast<std::uint64_t>(got);
  }
  return StopRequested(thread) ? kLProcessStopped : kLProcessDone;
}

LTlsTransport::Fill LTlsTransport::FillPending(LThread* thread, LWaitBudget& budget,
                                               const LRecvDeadline& deadline) {
  if (!ssl_) return Fill::kFailed;
  char buffer[kReadBytes];
  for (;;) {
    if (StopRequested(thread)) return Fill::kStopped;
    if (deadline.Passed()) return Fill::kFailed;
    ERR_clear_error();
    const int rc = SSL_read(ssl_.get(), buffer, sizeof buffer);
    if (rc > 0) {
      pending_.append(buffer, static_cast<std::size_t>(rc));
      budget.Restart();
      return Fill::kGot;
    }
    const Want want = WantOf(ssl_.get(), rc);
    if (want == Want::kClosed) return Fill::kClosed;
    switch (WaitFor(thread, fd_, want, budget)) {
      case kLProcessDone:
        break;
      case kLProcessStopped:
        return Fill::kStopped;
      default:
        return Fill::kFailed;
    }
  }
}

std::size_t LTlsTransport::TakePending(char* into, std::size_t length) {
  const std::size_t take = std::min(length, pending_.size() - pendingAt_);
  std::copy_n(pending_.data() + pendingAt_, take, into);
  pendingAt_ += take;
  ReleaseIfEmpty();
  return take;
}

void LTlsTransport::ReleaseIfEmpty() {
  if (pendingAt_ < pending_.size()) return;
  // Freed, not only emptied: an idle connection keeps no buffer.
  std::string().swap(pending_);
  pendingAt_ = 0;
}

LProcessResult LTlsTransport::RecvBytes(LThread* thread, void* buffer, std::size_t length, int timeoutMs,
                                        const LRecvDeadline& deadline) {
  char* next = static_cast<char*>(buffer);
  std::size_t left = length;
  LWaitBudget budget(timeoutMs);
  while (left > 0) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (deadline.Passed()) return kLProcessFailed;
    const std::size_t took = TakePending(next, left);
    next += took;
    left -= took;
    if (left == 0) break;
    switch (FillPending(thread, budget, deadline)) {
      case Fill::kGot:
        break;
      case Fill::kStopped:
        return kLProcessStopped;
      case Fill::kClosed:
      case Fill::kFailed:
        return kLProcessFailed;
    }
  }
  return kLProcessDone;
}

LProcessResult LTlsTransport::RecvLine(LThread* thread, std::string& line, std::size_t capacity,
                                       int timeoutMs, const LRecvDeadline& deadline) {
  line.clear();
  bool anyByte = false;
  LWaitBudget budget(timeoutMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (deadline.Passed()) return kLProcessFailed;
    while (pendingAt_ < pending_.size()) {
      const char c = pending_[pendingAt_++];
      anyByte = true;
      if (c == '\n') {
        ReleaseIfEmpty();
        return kLProcessDone;
      }
      if (c != '\r' && line.size() < capacity) line.push_back(c);
    }
    ReleaseIfEmpty();
    switch (FillPending(thread, budget, deadline)) {
      case Fill::kGot:
        break;
      case Fill::kClosed:
        return anyByte ? kLProcessDone : kLProcessFailed;
      case Fill::kStopped:
        return kLProcessStopped;
      case Fill::kFailed:
        return kLProcessFailed;
    }
  }
}

LProcessResult LTlsTransport::WaitReadable(LThread* thread, int timeoutMs) {
  if (StopRequested(thread)) return kLProcessStopped;
  if (pendingAt_ < pending_.size() || (ssl_ && SSL_has_pending(ssl_.get()) == 1)) return kLProcessDone;
  return ProcessWaitReadable(thread, fd_, timeoutMs);
}

void LTlsTransport::ShutdownSend(LThread* /*thread*/) {
  // The closing alert tells the client that the answer is complete; it is
  // one small record, which a non-blocking socket takes at once.
  if (ssl_ && SSL_is_init_finished(ssl_.get())) {
    ERR_clear_error();
    (void)SSL_shutdown(ssl_.get());
    ERR_clear_error();
  }
  ::shutdown(fd_, SHUT_WR);
}
