#pragma once
// The service engine: the object at the centre of the background service. It
// owns the MainEngine and the service side of the control channel to the
// desktops: the control socket's listener, one thread per control connection
// (this object is their LDetachedThreadsOwner), and the dispatcher that runs
// every desktop request on one thread (Wait, run by the ServiceListner
// thread), so that engine commands never run concurrently.
//
// Start order: control listener, then the engine. Stop order: control
// listener, control connections, engine.
//
// Stopping: the stop message of the control channel calls StopThreadSoon();
// SIGTERM (and SIGINT in the foreground) raises the termination flag and
// event of signal_handlers.h. Either makes Wait() return on the dispatcher
// thread, which ends the main loop; the shutdown itself then runs on the
// main thread, never inside a signal handler.
//
// Log lines and notifications are queued on each connection (control_peer.h)
// and written by the connection's own thread, so a desktop that does not
// read cannot hold up the thread that logs.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine_notify.h"
#include "foundation/detached_thread.h"
#include "foundation/signal_object.h"
#include "service/control_connection.h"
#include "service/control_peer.h"
#include "service/pipe_listener.h"

class LServiceEngineCore : public LDetachedThreadsOwner,
                           public LEngineNotifyHandler,
                           public LPipeConnectionHandler,
                           public LControlConnectionOwner {
 public:
  // `pipePath` is the control socket's path. Registers the service's log
  // sink: from now on every system log line of the process comes to Log().
  explicit LServiceEngineCore(std::string pipePath);
  ~LServiceEngineCore() override;

  const std::string& PipePath() const { return pipePath_; }

  // Starts the control listener, then the engine. A control socket that
  // cannot be opened (a live service owns it) is logged; the engine runs
  // without it.
  void Start();
  // The dispatcher. Returns when the stop flag is set or a termination
  // signal has arrived; `caller` is the thread running it, whose own stop
  // signal also ends the wait (null when run outside an LThread).
  void Wait(LThread* caller);
  // Stops, in order, the control listener, the control connections and the
  // engine. Runs on an ordinary thread: it takes locks and joins threads.
  void Shutdown();
  // Stops the listener and every control connection.
  void StopControlChannel();

  // What the stop message does: set the stop flag and signal the stop signal.
  void StopThreadSoon();
  bool IsStopRequested() const { return stopFlag_.load(); }

  // A system log line of this process, queued for every connected desktop;
  // in the foreground also written to standard error.
  void Log(const std::string& timeText, const std::string& message, std::uint8_t level);
  void SetEchoLogToStandardError(bool on) { echoLog_.store(on); }

  // Engine notifications go to every connected desktop.
  void EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) override;

  // The listener's hand-over: reads the peer's credentials and starts the
  // connection's thread.
  void NewConnection(LUniqueFd socket) override;

  // Used by the connection threads.
  void RegisterConnection(const std::shared_ptr<LControlPeer>& peer) override;
  void RemoveConnection(const std::shared_ptr<LControlPeer>& peer) override;
  void SignalDispatcher() override { dispatcherEvent_.Signal(); }
  size_t ConnectionCount();

 protected:
  virtual void StartEngine() = 0;
  virtual void StopEngine() = 0;
  // A command (type 1) from a desktop, on the dispatcher thread.
  virtual void ControlEngine(std::uint32_t code, const void* data, std::uint32_t size) = 0;

 private:
  void RunRequest(LControlPeer& peer);

  // Constant after construction.
  const std::string pipePath_;

  LPipeListener listener_{*this};
  // Guards connections_ (a leaf: nothing else is locked while it is held).
  std::mutex listMutex_;
  std::vector<std::shared_ptr<LControlPeer>> connections_;

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
    StopControlChannel();
    engine_->Stop();
  }

  TEngine& Engine() { return *engine_; }

 protected:
  void StartEngine() override { engine_->Start(); }
  void StopEngine() override { engine_->Stop(); }
  void ControlEngine(std::uint32_t code, const void* data, std::uint32_t size) override {
    engine_->Control(code, data, size);
  }

 private:
  const std::unique_ptr<TEngine> engine_;
};
