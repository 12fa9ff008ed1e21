#include "service/service_engine.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "foundation/log.h"
#include "foundation/log_handoff.h"
#include "foundation/poll_retry.h"
#include "foundation/thread.h"
#include "service/control_access.h"
#include "service/control_connection.h"
#include "service/control_wire.h"
#include "service/signal_handlers.h"

LServiceEngineCore::LServiceEngineCore(std::string pipePath) : pipePath_(std::move(pipePath)) {
  LSetServiceLogSink([this](const std::string& timeText, const std::string& message, std::uint8_t level) {
    Log(timeText, message, level);
  });
}

LServiceEngineCore::~LServiceEngineCore() {
  // Returns only when no call of the sink is running any more.
  LSetServiceLogSink({});
}

void LServiceEngineCore::Start() {
  // The listener starts before the engine, so that a desktop can connect and
  // see the engine's start in the log.
  if (!listener_.Open(pipePath_) || !listener_.Start(0)) {
    LOGERRORF("The control channel %s is not available; the server runs without it", pipePath_.c_str());
  }
  StartEngine();
}

void LServiceEngineCore::Wait(LThread* caller) {
  for (;;) {
    if (dispatcherEvent_.IsSignaled()) {
      dispatcherEvent_.Reset();
      newConnection_.store(false);
      // The requests are run outside the list mutex: an engine command
      // logs, and logging walks the list too.
      std::vector<std::shared_ptr<LControlPeer>> ready;
      {
        std::lock_guard<std::mutex> lock(listMutex_);
        for (const auto& peer : connections_) {
          if (peer->pending.load()) ready.push_back(peer);
        }
      }
      for (const auto& peer : ready) {
        RunRequest(*peer);
        peer->pending.store(false);
        peer->Wake();
      }
    }
    if (stopFlag_.load() || LServiceTermRequested()) return;
    if (caller != nullptr && caller->IsStopRequested()) return;
    pollfd waits[4] = {
        {dispatcherEvent_.GetFd(), POLLIN, 0},
        {stopSignal_.GetFd(), POLLIN, 0},
        {LServiceTermSignal().GetFd(), POLLIN, 0},
        {caller != nullptr ? caller->GetStopSignal().GetFd() : -1, POLLIN, 0},
    };
    // No time-out: every way this wait can end is one of these events.
    if (LPollRetry(waits, 4, -1) < 0) return;
  }
}

void LServiceEngineCore::RunRequest(LControlPeer& peer) {
  const LServiceMessageHeader& header = peer.request.header;
  const std::string& payload = peer.request.payload;
  switch (header.type) {
    case kLServiceCommand:
      ControlEngine(header.code, payload.empty() ? nullptr : payload.data(), static_cast<std::uint32_t>(payload.size()));
      return;
    case kLServiceAckCommand:
    case kLServiceQuery:
      (void)peer.QueueMessage(LControlMessageBytes(kLServiceReply, 0, header.extra, {}));
      return;
    case kLServiceStop:
      StopThreadSoon();
      return;
    default:
      return;  // unknown types are ignored
  }
}

void LServiceEngineCore::NewConnection(LUniqueFd socket) {
  LControlPeerCredentials credentials;
  const bool known = LControlReadPeerCredentials(socket.Get(), &credentials);
  const bool mayCommand = known && LControlPeerMayCommand(credentials, LControlAdminGroup());
  auto peer = std::make_shared<LControlPeer>(std::move(socket), credentials.pid, credentials.uid, mayCommand);
  auto* connection = new LServiceControlConnection(*this, std::move(peer));
  if (!connection->StartDetached(this, 0)) {
    delete connection;
    LOGERROR("Cannot start a control connection thread");
  }
}

void LServiceEngineCore::RegisterConnection(const std::shared_ptr<LControlPeer>& peer) {
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    connections_.insert(connections_.begin(), peer);
  }
  newConnection_.store(true);
  dispatcherEvent_.Signal();
}

void LServiceEngineCore::RemoveConnection(const std::shared_ptr<LControlPeer>& peer) {
  std::lock_guard<std::mutex> lock(listMutex_);
  connections_.erase(std::remove(connections_.begin(), connections_.end(), peer), connections_.end());
}

size_t LServiceEngineCore::ConnectionCount() {
  std::lock_guard<std::mutex> lock(listMutex_);
  return connections_.size();
}

void LServiceEngineCore::StopControlChannel() {
  // The listener goes first, so that no new control connection arrives
  // meanwhile.
  listener_.StopThreadNow();
  listener_.Close();
  StopThreadsNow();
}

void LServiceEngineCore::Shutdown() {
  StopControlChannel();
  StopEngine();
}

void LServiceEngineCore::StopThreadSoon() {
  stopFlag_.store(true);
  stopSignal_.Signal();
}

void LServiceEngineCore::Log(const std::string& timeText, const std::string& message, std::uint8_t level) {
  if (echoLog_.load()) {
    // One write per line, so that lines of different threads never mix.
    const std::string line = timeText + " " + message + "\n";
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
  }
  const std::string bytes = LControlLogLineBytes(timeText, message, level);
  std::lock_guard<std::mutex> lock(listMutex_);
  for (const auto& peer : connections_) (void)peer->QueueLogLine(bytes);
}

void LServiceEngineCore::EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) {
  const std::string bytes = LControlNotifyBytes(code, data, size);
  std::lock_guard<std::mutex> lock(listMutex_);
  for (const auto& peer : connections_) (void)peer->QueueMessage(bytes);
}
