#include "service/service_engine.h"

#include <poll.h>
#include <unistd.h>

#include "foundation/log_handoff.h"
#include "foundation/poll_retry.h"
#include "foundation/thread.h"
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
  // The control channel's listener thread starts here, before the engine, so
  // that a desktop can connect and see the engine's start in the log.
  StartEngine();
}

void LServiceEngineCore::Wait(LThread* caller) {
  for (;;) {
    if (dispatcherEvent_.IsSignaled()) {
      dispatcherEvent_.Reset();
      newConnection_.store(false);
      // The control channel walks its connection list here and runs each
      // pending request, one at a time, on this thread.
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

void LServiceEngineCore::Shutdown() {
  // The control channel's listener thread is stopped and joined here first,
  // so that no new control connection arrives during the shutdown.
  StopThreadsNow();
  StopEngine();
}

void LServiceEngineCore::StopThreadSoon() {
  stopFlag_.store(true);
  stopSignal_.Signal();
}

void LServiceEngineCore::Log(const std::string& timeText, const std::string& message, std::uint8_t) {
  if (!echoLog_.load()) return;
  // One write per line, so that lines of different threads never mix.
  const std::string line = timeText + " " + message + "\n";
  ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
  (void)ignored;
}

void LServiceEngineCore::EvEngineNotify(std::uint32_t, const void*, std::uint32_t) {}
