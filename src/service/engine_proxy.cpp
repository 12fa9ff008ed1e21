#include "service/engine_proxy.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "engine/socket_ops.h"
#include "foundation/process_wait.h"
#include "service/control_wire.h"
#include "service/named_pipe.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReadChunk = 8192;
// A message that has begun must be complete within this time.
constexpr int kMessageBudgetMs = 10000;

std::string SocketPath(const LServicePaths& paths) {
  return paths.controlSocket.empty() ? LNamedPipeRef::MakeFilePath(kLServiceName) : paths.controlSocket;
}

}  // namespace

LServiceEngineProxyCore::LServiceEngineProxyCore(LServicePaths paths)
    : LQueuedNotifyDataSender(this), paths_(std::move(paths)) {}

LServiceEngineProxyCore::~LServiceEngineProxyCore() { StopThreadNow(); }

bool LServiceEngineProxyCore::OpenChannel() {
  LUniqueFd fd = LNamedPipeRef::OpenPath(SocketPath(paths_));
  if (!fd) return false;
  std::lock_guard<std::mutex> lock(socketMutex_);
  socket_ = std::move(fd);
  return true;
}

bool LServiceEngineProxyCore::StartReading() { return IsConnected() && Start(-10); }

void LServiceEngineProxyCore::Stop() {
  StopThreadNow();
  {
    std::lock_guard<std::mutex> lock(socketMutex_);
    socket_.Reset();
  }
  StopInProcessEngine();
}

bool LServiceEngineProxyCore::IsConnected() {
  std::lock_guard<std::mutex> lock(socketMutex_);
  return socket_.IsValid();
}

bool LServiceEngineProxyCore::Send(const std::string& bytes) {
  // The caller holds socketMutex_.
  if (!socket_) return false;
  return ProcessSend(nullptr, socket_.Get(), bytes.data(), bytes.size(), kLProxySendMs) == kLProcessDone;
}

bool LServiceEngineProxyCore::SendSettingsChanged() {
  if (HasInProcessEngine()) {
    ControlInProcessEngine(1);
    return true;
  }
  return Request(kLServiceCommand, 1, {}, 0);
}

bool LServiceEngineProxyCore::Request(uint16_t type, uint32_t code, const std::string& payload, int replyMs,
                                      uint32_t* result, std::string* reply) {
  const bool answered = type == kLServiceAckCommand || type == kLServiceQuery;
  uint32_t id = 0;
  {
    std::lock_guard<std::mutex> lock(socketMutex_);
    id = ++requestId_;
    if (answered) {
      std::lock_guard<std::mutex> replyLock(replyMutex_);
      replies_[id] = Reply{};
    }
    if (!Send(LControlMessageBytes(type, code, id, payload))) {
      std::lock_guard<std::mutex> replyLock(replyMutex_);
      replies_.erase(id);
      return false;
    }
  }
  if (!answered) return true;
  std::unique_lock<std::mutex> lock(replyMutex_);
  const bool arrived = replyArrived_.wait_for(lock, std::chrono::milliseconds(replyMs),
                                              [&] { return replies_[id].arrived; });
  if (arrived) {
    if (result != nullptr) *result = replies_[id].code;
    if (reply != nullptr) *reply = std::move(replies_[id].payload);
  }
  replies_.erase(id);
  return arrived;
}

void LServiceEngineProxyCore::TakeReply(uint32_t id, uint32_t code, std::string payload) {
  std::lock_guard<std::mutex> lock(replyMutex_);
  const auto waiting = replies_.find(id);
  // A reply nobody waits for (its request gave up) is dropped.
  if (waiting == replies_.end()) return;
  waiting->second = Reply{true, code, std::move(payload)};
  replyArrived_.notify_all();
}

void LServiceEngineProxyCore::EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) {
  (void)NotifyData(static_cast<int>(code), data, size);
}

void LServiceEngineProxyCore::EvQueuedNotifyData(int code, const void* data, size_t length) {
  LControlNotifyHandler* handler = notifyHandler_.load();
  if (handler != nullptr) handler->EvControlNotify(static_cast<uint32_t>(code), data, length);
}

void LServiceEngineProxyCore::ThreadFunction() {
  while (!IsStopRequested()) {
    int fd = -1;
    {
      std::lock_guard<std::mutex> lock(socketMutex_);
      fd = socket_.Get();
    }
    // Only this thread replaces the socket, so fd stays open while it reads.
    if (fd >= 0) ReadMessages(fd);
    if (!Reconnect()) return;
  }
}

void LServiceEngineProxyCore::ReadMessages(int fd) {
  LControlMessageReader reader(false);
  char chunk[kReadChunk];
  Clock::time_point partialSince{};
  bool partial = false;
  for (;;) {
    const LProcessResult ready = ProcessWaitFd(this, fd, POLLIN, kLWaitSliceMs);
    if (ready == kLProcessStopped) return;
    if (ready == kLProcessDone) {
      const ssize_t got = recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
      if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return;
      if (got > 0) reader.Feed(chunk, static_cast<size_t>(got));
    }
    for (;;) {
      LControlMessage message;
      const LControlMessageReader::Status status = reader.Next(&message);
      if (status == LControlMessageReader::Status::kNeedMore) break;
      if (status != LControlMessageReader::Status::kMessage) return;
      const LServiceMessageHeader& header = message.header;
      if (header.type == kLServiceLogLine) {
        LLogStatusWindow* window = window_.load();
        if (header.size > 1 && window != nullptr) {
          const auto [timeText, text] = LControlSplitLogLine(message.payload, header.extra);
          window->QueueLogLine(timeText, text, static_cast<std::uint8_t>(header.code));
        }
      } else if (header.type == kLServiceNotify) {
        const uint32_t size = std::min<uint32_t>(header.extra, static_cast<uint32_t>(message.payload.size()));
        EvEngineNotify(header.code, size != 0 ? message.payload.data() : nullptr, size);
      } else if (header.type == kLServiceReply) {
        TakeReply(header.extra, header.code, std::move(message.payload));
      }
    }
    const bool nowPartial = reader.Pending() > 0;
    if (nowPartial && !partial) partialSince = Clock::now();
    partial = nowPartial;
    if (partial && Clock::now() - partialSince > std::chrono::milliseconds(kMessageBudgetMs)) return;
  }
}

bool LServiceEngineProxyCore::Reconnect() {
  for (;;) {
    if (GetStopSignal().WaitSignal(kLProxyReconnectMs) || IsStopRequested()) return false;
    LUniqueFd fd = LNamedPipeRef::OpenPath(SocketPath(paths_));
    if (!fd) continue;
    std::lock_guard<std::mutex> lock(socketMutex_);
    socket_ = std::move(fd);
    return true;
  }
}
