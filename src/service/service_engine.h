#pragma once
// The service engine: the object at the centre of the background service. It
// owns the MainEngine and is where the control channel to the desktop plugs
// in: the control socket's listener, one thread per control connection (this
// object is their LDetachedThreadsOwner), and the dispatcher that runs every
// desktop command on one thread (Wait, run by the ServiceListner thread).
//
// Start order: control listener, then the engine. Stop order: control
// listener, control connections, engine. The control channel's listener and
// its message handling come in a later step; the places where they start and
// stop are marked below and in service_engine.cpp.
//
// Stopping: the stop message of the control channel calls StopThreadSoon();
// SIGTERM (and SIGINT in the foreground) raises the termination flag and
// event of signal_handlers.h. Either makes Wait() return on the dispatcher
// thread, which ends the main loop; the shutdown itself then runs on the
// main thread, never inside a signal handler.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "engine/engine_notify.h"
#include "foundation/detached_thread.h"
#include "foundation/signal_object.h"

class LServiceEngineCore : public LDetachedThreadsOwner, public LEngineNotifyHandler {
 public:
  // `pipePath` is the control socket's path. Registers the service's log
  // sink: from now on every system log line of the process comes to Log().
  explicit LServiceEngineCore(std::string pipePath);
  ~LServiceEngineCore() override;

  const std::string& PipePath() const { return pipePath_; }

  // Starts the control listener, then the engine.
  void Start();
  // The dispatcher. Returns when the stop flag is set or a termination
  // signal has arrived; `caller` is the thread running it, whose own stop
  // signal also ends the wait (null when run outside an LThread).
  void Wait(LThread* caller);
  // Stops, in order, the control listener, the control connections and the
  // engine. Runs on an ordinary thread: it takes locks and joins threads.
  void Shutdown();

  // What the stop message does: set the stop flag and signal the stop signal.
  void StopThreadSoon();
  bool IsStopRequested() const { return stopFlag_.load(); }

  // A system log line of this process. In the foreground it is also written
  // to standard error; connected desktops will receive it as a log message
  // once the control channel is in place.
  void Log(const std::string& timeText, const std::string& message, std::uint8_t level);
  void SetEchoLogToStandardError(bool on) { echoLog_.store(on); }

  // Engine notifications go to the connected desktops; with no control
  // connection there is no one to tell.
  void EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) override;

 protected:
  virtual void StartEngine() = 0;
  virtual void StopEngine() = 0;

 private:
  // Constant after construction.
  const std::string pipePath_;

  // Signalled when a control connection arrives or has a request pending.
  LSignalObject dispatcherEvent_;
  std::atomic<bool> newConnection_{false};
  std::atomic<bool> stopFlag_{false};
  LSignalObject stopSignal_;
  std::atomic<bool> echoLog_{false};
};

// `TEngine` is MainEngine: Start(), Stop() and construction by a factory
// that receives the notification handler.
template <class TEngine>
class LServiceEngine : public LServiceEngineCore {
 public:
  using Factory = std::unique_ptr<TEngine> (*)(LEngineNotifyHandler* notifyHandler);

  // The service engine of this process, while one exists.
  static inline std::atomic<LServiceEngine*> pInstance{nullptr};

  LServiceEngine(std::string pipePath, Factory factory)
      : LServiceEngineCore(std::move(pipePath)), engine_(factory(this)) {
    pInstance.store(this);
  }
  ~LServiceEngine() override {
    pInstance.store(nullptr);
    StopThreadsNow();
    engine_->Stop();
  }

  TEngine& Engine() { return *engine_; }

 protected:
  void StartEngine() override { engine_->Start(); }
  void StopEngine() override { engine_->Stop(); }

 private:
  const std::unique_ptr<TEngine> engine_;
};
