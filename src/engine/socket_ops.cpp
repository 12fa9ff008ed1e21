#include "engine/socket_ops.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "engine/send_pace.h"
#include "engine/socket_wait.h"
#include "engine/wait_budget.h"
#include "foundation/thread.h"

namespace {

bool StopRequested(LThread* thread) { return thread != nullptr && thread->IsStopRequested(); }

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

LProcessResult ProcessSend(LThread* thread, int fd, const void* data, std::size_t length,
                           int timeoutMs) {
  return ProcessSendPieces(thread, fd, data, length, timeoutMs, kLSendPieceBytes);
}

LProcessResult ProcessSendPieces(LThread* thread, int fd, const void* data, std::size_t length,
                                 int timeoutMs, std::size_t pieceBytes) {
  const char* next = static_cast<const char*>(data);
  std::size_t left = length;
  LWaitBudget budget(timeoutMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (left == 0) return kLProcessDone;
    const std::size_t piece = std::min(left, pieceBytes);
    const ssize_t sent = ::send(fd, next, piece, MSG_NOSIGNAL);
    if (sent > 0) {
      LSendPaceScope::CountSent(static_cast<std::uint64_t>(sent));
      next += sent;
      left -= static_cast<std::size_t>(sent);
      if (left == 0) return kLProcessDone;
      // A full piece means the socket buffer had room: no reason to wait.
      if (static_cast<std::size_t>(sent) == piece) continue;
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && !WouldBlock(errno)) {
      return kLProcessFailed;
    }
    if (!LSendPaceScope::WaitAllowed()) return kLProcessFailed;
    const LProcessResult waited = LWaitSocketOrGiveUp(thread, fd, POLLOUT, budget);
    if (waited != kLProcessDone) return waited;
  }
}

LProcessResult ProcessSendFile(LThread* thread, int fd, int fileFd, std::uint64_t length,
                               int timeoutMs) {
  // Pieces small enough that the stop flag is tested often on a fast link.
  constexpr std::uint64_t kPiece = 1U << 20;
  std::uint64_t left = length;
  LWaitBudget budget(timeoutMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (left == 0) return kLProcessDone;
    const ssize_t sent = ::sendfile(fd, fileFd, nullptr, static_cast<std::size_t>(std::min(left, kPiece)));
    if (sent > 0) {
      LSendPaceScope::CountSent(static_cast<std::uint64_t>(sent));
      left -= static_cast<std::uint64_t>(sent);
      continue;
    }
    if (sent == 0) return kLProcessFailed;  // the file ended early
    if (errno == EINTR) continue;
    if (!WouldBlock(errno)) return kLProcessFailed;
    if (!LSendPaceScope::WaitAllowed()) return kLProcessFailed;
    const LProcessResult waited = LWaitSocketOrGiveUp(thread, fd, POLLOUT, budget);
    if (waited != kLProcessDone) return waited;
  }
}

LProcessResult ProcessRecvBytes(LThread* thread, int fd, void* buffer, std::size_t length,
                                int timeoutMs, const LRecvDeadline& deadline) {
  char* next = static_cast<char*>(buffer);
  std::size_t left = length;
  LWaitBudget budget(timeoutMs);
  while (left > 0) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (deadline.Passed()) return kLProcessFailed;
    const ssize_t got = ::recv(fd, next, left, 0);
    if (got > 0) {
      next += got;
      left -= static_cast<std::size_t>(got);
      budget.Restart();
      continue;
    }
    if (got == 0) return kLProcessFailed;  // the peer closed
    if (errno == EINTR) continue;
    if (!WouldBlock(errno)) return kLProcessFailed;
    const LProcessResult waited = LWaitSocketOrGiveUp(thread, fd, POLLIN, budget);
    if (waited != kLProcessDone) return waited;
  }
  return kLProcessDone;
}

LProcessResult ProcessRecvLine(LThread* thread, int fd, std::string& line, std::size_t capacity,
                               int timeoutMs, const LRecvDeadline& deadline) {
  line.clear();
  bool anyByte = false;
  LWaitBudget budget(timeoutMs);
  char look[kLLinePeekBytes];
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    if (deadline.Passed()) return kLProcessFailed;
    const ssize_t seen = ::recv(fd, look, sizeof look, MSG_PEEK);
    if (seen > 0) {
      const char* end = look + seen;
      const char* lf = std::find(static_cast<const char*>(look), end, '\n');
      const std::size_t take =
          (lf != end) ? static_cast<std::size_t>(lf - look) + 1 : static_cast<std::size_t>(seen);
      for (const char* p = look; p < look + take; ++p) {
        if (*p != '\r' && *p != '\n' && line.size() < capacity) line.push_back(*p);
      }
      // The peeked bytes are ours alone (one reader per socket), so this
      // takes exactly the bytes looked at and leaves what follows the LF.
      if (::recv(fd, look, take, 0) != static_cast<ssize_t>(take)) return kLProcessFailed;
      anyByte = true;
      budget.Restart();
      if (lf != end) return kLProcessDone;
      continue;
    }
    if (seen == 0) return anyByte ? kLProcessDone : kLProcessFailed;
    if (errno == EINTR) continue;
    if (!WouldBlock(errno)) return kLProcessFailed;
    const LProcessResult waited = LWaitSocketOrGiveUp(thread, fd, POLLIN, budget);
    if (waited != kLProcessDone) return waited;
  }
}

LProcessResult ProcessWaitReadable(LThread* thread, int fd, int timeoutMs) {
  LWaitBudget budget(timeoutMs);
  for (;;) {
    if (StopRequested(thread)) return kLProcessStopped;
    switch (LWaitSocketSlice(thread, fd, POLLIN)) {
      case LSocketSlice::kReady:
        return kLProcessDone;
      case LSocketSlice::kEmpty:
        if (!budget.ChargeEmptySlice()) return kLProcessFailed;
        break;
      case LSocketSlice::kStopped:
        return kLProcessStopped;
      case LSocketSlice::kFailed:
        return kLProcessFailed;
    }
  }
}

namespace {

// The connect is under way: wait for it to finish. A socket that becomes
// writable has finished, but not necessarily succeeded - a refused connect
// reports writable as well - so the socket's pending error decides.
LProcessResult WaitConnected(LThread* thread, int fd, int timeoutMs) {
  LWaitBudget budget(timeoutMs);
  for (;;) {
    switch (LWaitSocketSlice(thread, fd, POLLOUT)) {
      case LSocketSlice::kReady: {
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
          return kLProcessFailed;
        }
        return kLProcessDone;
      }
      case LSocketSlice::kEmpty:
        if (!budget.ChargeEmptySlice()) return kLProcessFailed;
        break;
      case LSocketSlice::kStopped:
        return kLProcessStopped;
      case LSocketSlice::kFailed:
        return kLProcessFailed;
    }
  }
}

}  // namespace

LProcessResult ProcessConnect(LThread* thread, LIPSocketTCP& socket, const sockaddr_in& address,
                              int timeoutMs) {
  socket.Close();
  if (address.sin_addr.s_addr == INADDR_NONE) return kLProcessFailed;
  if (StopRequested(thread)) return kLProcessStopped;
  socket.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!socket.IsValid()) return kLProcessFailed;
  const sockaddr* target = reinterpret_cast<const sockaddr*>(&address);
  if (::connect(socket.Get(), target, sizeof address) == 0) return kLProcessDone;
  // EINTR leaves a non-blocking connect running, just like EINPROGRESS.
  LProcessResult result = kLProcessFailed;
  if (errno == EINPROGRESS || errno == EINTR)
    result = WaitConnected(thread, socket.Get(), timeoutMs);
  if (result != kLProcessDone) socket.Close();
  return result;
}
