#include "engine/tcp_listener.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "engine/wait_budget.h"
#include "foundation/log.h"
#include "foundation/poll_retry.h"

namespace {

// Errors of accept() that concern one connection only (it went away, or
// Linux reports a network error that belongs to it), after which the
// listener just goes on.
bool IsConnectionError(int error) {
  switch (error) {
    case ECONNABORTED:
    case EAGAIN:
    case EINTR:
    case EPROTO:
    case ENOPROTOOPT:
    case ENETDOWN:
    case ENONET:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EOPNOTSUPP:
      return true;
    default:
      return false;
  }
}

// Errors that mean the process is short of descriptors or memory for a
// moment: the connection waits in the backlog until some are free again.
bool IsResourceShortage(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

}  // namespace

LTCPListener::~LTCPListener() { StopThreadNow(); }

void LTCPListener::ThreadFunction() {
  while (!IsStopRequested()) {
    ListenRound();
    if (GetStopSignal().WaitSignal(retryWaitMs_.load())) break;
  }
}

void LTCPListener::ListenRound() {
  // Close-on-exec from the start, so that a command run meanwhile by another
  // thread never inherits the listening socket.
  LIPSocketTCP listener(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener.IsValid()) {
    LOGERRORF("socket() failed: %s", std::strerror(errno));
    return;
  }
  // Connections of a server that just ended (stopped or killed) linger on
  // the port for a minute or two; without SO_REUSEADDR they would keep a
  // restarted server from binding until then. On Linux the option never lets
  // a second listener share the port with a live one: that still fails with
  // EADDRINUSE and is reported below.
  const int reuse = 1;
  if (::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) {
    LOGERRORF("setsockopt(SO_REUSEADDR) failed: %s", std::strerror(errno));
  }
  const sockaddr_in any = LMakeSockaddrIPv4(INADDR_ANY, port_.load());
  if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
    if (errno == EADDRINUSE) {
      BindConflict();
    } else {
      LOGERRORF("bind() to port %d failed: %s", port_.load(), std::strerror(errno));
    }
    return;
  }
  if (::listen(listener.Get(), kListenBacklog) != 0) {
    LOGERRORF("listen() failed: %s", std::strerror(errno));
    return;
  }
  listening_.Signal();
  AcceptLoop(listener.Get());
  listening_.Reset();
}

bool LTCPListener::LShortageLog::ShouldLog() {
  if (inShortage_) return false;
  inShortage_ = true;
  const auto now = std::chrono::steady_clock::now();
  if (logged_ && now - lastLog_ < kMinInterval) return false;
  logged_ = true;
  lastLog_ = now;
  return true;
}

void LTCPListener::DescriptorShortage(int error) {
  std::lock_guard<std::mutex> lock(shortageMutex_);
  if (!shortageLog_.ShouldLog()) return;
  // The log opens its file for the line: the reserve makes room for it.
  reserve_.Release();
  LOGERRORF("Connections are refused: no file descriptors left (%s)", std::strerror(error));
  (void)reserve_.Restore();
}

void LTCPListener::AcceptLoop(int listenFd) {
  while (!IsStopRequested()) {
    pollfd entries[2] = {{listenFd, POLLIN, 0}, {GetStopSignal().GetFd(), POLLIN, 0}};
    if (LPollRetry(entries, 2, -1) < 0) return;
    if (entries[1].revents != 0 || (entries[0].revents & POLLIN) == 0) return;
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    LIPSocketTCP accepted(::accept4(listenFd, reinterpret_cast<sockaddr*>(&from), &fromSize,
                                    SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!accepted.IsValid()) {
      const int error = errno;
      if (IsConnectionError(error)) continue;
      if (!IsResourceShortage(error)) {
        LOGERRORF("accept() failed: %s", std::strerror(error));
        return;
      }
      // The connections wait in the backlog (and further ones are refused
      // by the system) until descriptors are free again. Waiting a slice on
      // the stop signal keeps the still-readable socket from spinning; the
      // listener stays bound, unlike after a real failure.
      DescriptorShortage(error);
      if (GetStopSignal().WaitSignal(kLSocketSliceMs)) return;
      continue;
    }
    {
      std::lock_guard<std::mutex> lock(shortageMutex_);
      shortageLog_.End();
      // Taken back as soon as descriptors are free again, for the next shortage.
      (void)reserve_.Restore();
    }
    peer_ = LIPv4Peer::FromSockaddr(from);
    NewConnection(accepted);
    sched_yield();
  }
}
