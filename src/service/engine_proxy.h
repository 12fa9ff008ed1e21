#pragma once
// The desktop's end of the control channel. The proxy thread reads what the
// service sends: log lines go to the window's status display, notifications
// to the main loop's thread (never straight into the window from this
// thread), replies to the request waiting for them by id. When the service
// cannot be reached at all, the proxy runs the engine in this process
// instead (MainEngineProxy::Start).

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "engine/engine_notify.h"
#include "foundation/log_handoff.h"
#include "foundation/queued_notify.h"
#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "service/service_paths.h"

// How long a desktop request may take to leave.
inline constexpr int kLProxySendMs = 5000;
// Pause between two attempts to reach a service that went away.
inline constexpr int kLProxyReconnectMs = 100;

// The window's side of notifications; called on the main loop's thread.
class LControlNotifyHandler {
 public:
  virtual ~LControlNotifyHandler() = default;
  virtual void EvControlNotify(std::uint32_t code, const void* data, size_t size) = 0;
};

class LServiceEngineProxyCore : public LThread,
                                public LEngineNotifyHandler,
                                public LQueuedNotifyDataSender,
                                public LQueuedNotifyDataHandler {
 public:
  explicit LServiceEngineProxyCore(LServicePaths paths);
  ~LServiceEngineProxyCore() override;

  // Where received log lines are shown (may be null) and who hears of
  // notifications; both must outlive the proxy's thread.
  void SetStatusWindow(LLogStatusWindow* window) { window_.store(window); }
  void SetControlNotifyHandler(LControlNotifyHandler* handler) { notifyHandler_.store(handler); }

  // Opens the control socket; false when nothing listens there.
  bool OpenChannel();
  // Starts the reading thread on the open socket (priority -10).
  bool StartReading();
  // Stops the reading thread and closes the socket, or stops and destroys
  // the in-process engine.
  void Stop();

  bool IsConnected();
  bool RunsInProcess() const { return HasInProcessEngine(); }

  // Settings changed: command code 1 over the channel, or straight to the
  // engine of this process.
  [[nodiscard]] bool SendSettingsChanged();
  // Sends a request with the next request id; for the acknowledged command
  // and the query waits up to `replyMs` for the reply of that id and stores
  // its result code and payload. False when the request could not be sent
  // or no reply came.
  [[nodiscard]] bool Request(uint16_t type, uint32_t code, const std::string& payload, int replyMs,
                             uint32_t* result = nullptr, std::string* reply = nullptr);

  // The engine's notifications (in-process engine, or received): handed to
  // the main loop's thread.
  void EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) override;
  void EvQueuedNotifyData(int code, const void* data, size_t length) override;

 protected:
  void ThreadFunction() override;

  virtual bool HasInProcessEngine() const = 0;
  virtual void StartInProcessEngine() = 0;
  virtual void StopInProcessEngine() = 0;
  virtual void ControlInProcessEngine(uint32_t code) = 0;

  const LServicePaths paths_;

 private:
  struct Reply {
    bool arrived = false;
    uint32_t code = 0;
    std::string payload;
  };
  // Reads until the stream breaks or the thread is stopped.
  void ReadMessages(int fd);
  bool Reconnect();
  void TakeReply(uint32_t id, uint32_t code, std::string payload);
  [[nodiscard]] bool Send(const std::string& bytes);

  std::atomic<LLogStatusWindow*> window_{nullptr};
  std::atomic<LControlNotifyHandler*> notifyHandler_{nullptr};

  // Guards socket_ and requestId_; held for each whole send, so requests of
  // different threads never interleave. The reading thread replaces the
  // socket under it.
  std::mutex socketMutex_;
  LUniqueFd socket_;
  uint32_t requestId_ = 0;

  // Guards replies_: the requests waiting for their reply, by id.
  std::mutex replyMutex_;
  std::condition_variable replyArrived_;
  std::map<uint32_t, Reply> replies_;
};

// `TEngine` is MainEngine: Start(), Stop(), Control(), constructed by a
// factory that receives the notification handler.
template <class TEngine>
class LServiceEngineProxy : public LServiceEngineProxyCore {
 public:
  using Factory = std::unique_ptr<TEngine> (*)(LEngineNotifyHandler* notifyHandler);

  LServiceEngineProxy(LServicePaths paths, Factory factory)
      : LServiceEngineProxyCore(std::move(paths)), factory_(factory) {}
  ~LServiceEngineProxy() override {
    StopThreadNow();
    StopInProcessEngine();
  }

  TEngine* InProcessEngine() { return engine_.get(); }

 protected:
  bool HasInProcessEngine() const override { return engine_ != nullptr; }
  void StartInProcessEngine() override {
    engine_ = factory_(this);
    engine_->Start();
  }
  void StopInProcessEngine() override {
    if (engine_ == nullptr) return;
    engine_->Stop();
    engine_.reset();
  }
  void ControlInProcessEngine(uint32_t code) override {
    if (engine_ != nullptr) engine_->Control(code, nullptr, 0);
  }

 private:
  const Factory factory_;
  // Only the desktop's main thread starts and stops it.
  std::unique_ptr<TEngine> engine_;
};
