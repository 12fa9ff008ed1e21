#pragma once
// Worker threads hand data to the main loop's thread: NotifyData copies the
// payload and posts it as an idle callback on GLib's default main context;
// the handler receives it there, once, and the copy is freed afterwards.
// Toolkit code (windows, dialogs) runs only on that thread, so this is the
// only way a worker reaches it.
//
// The handler must outlive every notification posted to it: keep it for the
// life of the main loop, or run the loop dry before destroying it.

#include <atomic>
#include <cstddef>

class LQueuedNotifyDataHandler {
 public:
  virtual ~LQueuedNotifyDataHandler() = default;
  // On the main loop's thread. `data` is null when the sender passed none;
  // it is valid only during the call.
  virtual void EvQueuedNotifyData(int code, const void* data, size_t length) = 0;
};

class LQueuedNotifyDataSender {
 public:
  explicit LQueuedNotifyDataSender(LQueuedNotifyDataHandler* handler = nullptr)
      : handler_(handler) {}
  virtual ~LQueuedNotifyDataSender() = default;

  void SetQueuedNotifyHandler(LQueuedNotifyDataHandler* handler) { handler_.store(handler); }
  LQueuedNotifyDataHandler* GetQueuedNotifyHandler() const { return handler_.load(); }

  // Any thread. Does nothing without a handler (returns false).
  bool NotifyData(int code, const void* data, size_t length);

 private:
  std::atomic<LQueuedNotifyDataHandler*> handler_;
};
