#include "routing/upnp_http.h"

#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>

#include "engine/ip_socket_tcp.h"
#include "engine/socket_ops.h"
#include "engine/socket_wait.h"
#include "foundation/thread.h"
#include "routing/ip_ranges.h"
#include "routing/upnp_messages.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<LUPnPClock> gClock{&Clock::now};

Clock::time_point Now() { return gClock.load()(); }

// Reads into `answer` until close, the size limit, silence or the deadline.
LProcessResult ReadAnswer(LThread* thread, int fd, Clock::time_point deadline, std::string& answer) {
  char buffer[1024];
  auto lastData = Now();
  while (answer.size() < kLUPnPMaxAnswer) {
    const auto now = Now();
    if (now >= deadline) return kLProcessDone;
    if (now - lastData >= std::chrono::milliseconds(kLUPnPSilenceTimeoutMs)) return kLProcessDone;
    const LSocketSlice slice = LWaitSocketSlice(thread, fd, POLLIN);
    if (slice == LSocketSlice::kStopped) return kLProcessStopped;
    if (slice == LSocketSlice::kFailed) return kLProcessDone;
    if (slice == LSocketSlice::kEmpty) continue;
    const std::size_t room = std::min(sizeof buffer, kLUPnPMaxAnswer - answer.size());
    const ssize_t got = recv(fd, buffer, room, 0);
    if (got == 0) return kLProcessDone;
    if (got < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      return kLProcessDone;
    }
    answer.append(buffer, static_cast<std::size_t>(got));
    lastData = Now();
  }
  return kLProcessDone;
}

}  // namespace

void LUPnPSetClock(LUPnPClock clock) { gClock = clock != nullptr ? clock : &Clock::now; }

LProcessResult LUPnPHttpExchange(LThread* thread, std::string_view host, int port,
                                 std::string_view request, int budgetMs, std::string& answer) {
  answer.clear();
  const std::optional<std::uint32_t> address = LParseDottedIPv4(host);
  if (!address || port < 1 || port > 65535) return kLProcessFailed;
  LIPSocketTCP socket;
  const LProcessResult connected = ProcessConnect(
      thread, socket, LMakeSockaddrIPv4(*address, static_cast<std::uint16_t>(port)),
      kLUPnPConnectTimeoutMs);
  if (connected != kLProcessDone) return connected;
  const auto deadline = Now() + std::chrono::milliseconds(budgetMs);
  const LProcessResult sent =
      ProcessSend(thread, socket.Get(), request.data(), request.size(), kLUPnPSilenceTimeoutMs);
  if (sent == kLProcessStopped) return sent;
  // A router that closes early may still have answered; judge what came.
  return ReadAnswer(thread, socket.Get(), deadline, answer);
}
