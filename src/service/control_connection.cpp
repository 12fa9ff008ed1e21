#include "service/control_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <ctime>
#include <optional>
#include <string>

#include "foundation/log.h"
#include "service/control_access.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReadChunk = 8192;
constexpr size_t kWriteChunk = 64 * 1024;
// Waits stay short so that the time limits above are tested regularly.
constexpr int kWaitSliceMs = 200;

std::string ClockText() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  char text[16];
  strftime(text, sizeof(text), "%H:%M:%S", &local);
  return text;
}

bool Expired(Clock::time_point since, int limitMs) {
  return Clock::now() - since > std::chrono::milliseconds(limitMs);
}

}  // namespace

void LServiceControlConnection::ThreadFunction() {
  engine_.RegisterConnection(peer_);
  const End end = Converse();
  engine_.RemoveConnection(peer_);
  LogEnd(end);
}

// What one conversation keeps between its waits.
struct LServiceControlConnection::Conversation {
  LControlMessageReader reader{true};
  std::string output;
  size_t written = 0;
  bool waiting = false;  // a request is with the dispatcher
  Clock::time_point handedAt{};
  Clock::time_point partialSince{};
  bool partial = false;
};

std::optional<LServiceControlConnection::End> LServiceControlConnection::HandOverMessages(Conversation& c) {
  while (!c.waiting) {
    LControlMessage message;
    const LControlMessageReader::Status status = c.reader.Next(&message);
    if (status == LControlMessageReader::Status::kNeedMore) break;
    if (status == LControlMessageReader::Status::kBadMagic) return End::kBadMagic;
    if (status == LControlMessageReader::Status::kTooLarge) return End::kTooLarge;
    if (LControlIsCommandRequest(message.header.type) && !peer_->MayCommand()) return End::kRefused;
    peer_->request = std::move(message);
    peer_->pending.store(true);
    c.waiting = true;
    c.handedAt = Clock::now();
    engine_.SignalDispatcher();
  }
  return std::nullopt;
}

void LServiceControlConnection::RefillOutput(Conversation& c) {
  if (c.written != c.output.size()) return;
  c.output.clear();
  c.written = 0;
  const uint64_t dropped = peer_->TakeDroppedCount();
  if (dropped != 0) {
    c.output = LControlLogLineBytes(
        ClockText(), std::to_string(dropped) + " log lines were not sent to this window: it did not read them in time",
        kLLogLevelError);
  }
  (void)peer_->TakeOutput(c.output, kWriteChunk);
}

std::optional<LServiceControlConnection::End> LServiceControlConnection::Transfer(Conversation& c, short ready,
                                                                                  bool wantWrite) {
  char chunk[kReadChunk];
  if ((ready & POLLIN) != 0) {
    const ssize_t got = recv(peer_->Fd(), chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got == 0) return End::kClosed;
    if (got < 0 && errno != EAGAIN && errno != EINTR) return End::kClosed;
    if (got > 0) c.reader.Feed(chunk, static_cast<size_t>(got));
  } else if ((ready & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    return End::kClosed;
  }
  if ((ready & POLLOUT) != 0 && wantWrite) {
    const ssize_t sent =
        send(peer_->Fd(), c.output.data() + c.written, c.output.size() - c.written, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent < 0 && errno != EAGAIN && errno != EINTR) return End::kClosed;
    if (sent > 0) c.written += static_cast<size_t>(sent);
  }
  return std::nullopt;
}

LServiceControlConnection::End LServiceControlConnection::Converse() {
  Conversation c;
  for (;;) {
    if (IsStopRequested()) return End::kStopped;
    if (peer_->broken.load()) return End::kGivenUp;
    // Reset before looking, so that a wake-up arriving meanwhile is kept.
    peer_->ResetWake();
    if (c.waiting && !peer_->pending.load()) c.waiting = false;
    if (c.waiting && Expired(c.handedAt, kLControlRequestWaitMs)) return End::kTimedOut;
    if (const std::optional<End> end = HandOverMessages(c)) return *end;
    const bool nowPartial = c.reader.Pending() > 0;
    if (nowPartial && !c.partial) c.partialSince = Clock::now();
    c.partial = nowPartial;
    if (c.partial && !c.waiting && Expired(c.partialSince, kLControlMessageBudgetMs)) return End::kTimedOut;

    RefillOutput(c);
    const bool wantWrite = c.written < c.output.size();
    pollfd group[2] = {
        {peer_->Fd(), static_cast<short>((c.waiting ? 0 : POLLIN) | (wantWrite ? POLLOUT : 0)), 0},
        {peer_->WakeSignal().GetFd(), POLLIN, 0},
    };
    const LProcessResult waited = ProcessWaitSignalObjectGroup(group, 2, kWaitSliceMs);
    if (waited == kLProcessStopped) return End::kStopped;
    if (waited != kLProcessDone) continue;  // the slice ran out
    if (const std::optional<End> end = Transfer(c, group[0].revents, wantWrite)) return *end;
  }
}

void LServiceControlConnection::LogEnd(End end) {
  const unsigned uid = static_cast<unsigned>(peer_->Uid());
  const int pid = static_cast<int>(peer_->Pid());
  switch (end) {
    case End::kStopped:
    case End::kClosed:
      return;
    case End::kRefused:
      LOGWARNF("Control connection of user %u (process %d) closed: only root and the data folder's group may change or stop the service", uid, pid);
      return;
    case End::kBadMagic:
      LOGWARNF("Control connection of user %u (process %d) closed: not a control message", uid, pid);
      return;
    case End::kTooLarge:
      LOGWARNF("Control connection of user %u (process %d) closed: message larger than %u bytes", uid, pid, kLControlMaxPayload);
      return;
    case End::kTimedOut:
      LOGWARNF("Control connection of user %u (process %d) closed: message incomplete or unanswered in time", uid, pid);
      return;
    case End::kGivenUp:
      LOGWARNF("Control connection of user %u (process %d) closed: it did not read its messages", uid, pid);
      return;
  }
}
