#pragma once
// A wake-up that worker threads send to the main loop's thread: QueueNotify
// attaches one idle source (further calls while it is pending add nothing),
// and on the main loop the object's EvThreadQueuedNotify runs.
//
// The toolkit lock: the desktop window wraps the callback in the GDK lock and
// flushes GDK before releasing it. That belongs to the desktop layer, which
// overrides EnterToolkitLock/LeaveToolkitLock (gdk_threads_enter; gdk_flush
// and gdk_threads_leave); here they do nothing, as the service has no GDK.
//
// Lock order: the toolkit lock, then mutex_ (a leaf: nothing is called while
// it is held). Destroy the object on the main loop's thread, or after that
// loop has stopped: a pending wake-up is then cancelled safely.

#include <glib.h>

#include <mutex>

class LThreadQueuedNotify {
 public:
  // `context` null means GLib's default main context.
  explicit LThreadQueuedNotify(GMainContext* context = nullptr);
  virtual ~LThreadQueuedNotify();
  LThreadQueuedNotify(const LThreadQueuedNotify&) = delete;
  LThreadQueuedNotify& operator=(const LThreadQueuedNotify&) = delete;

  // Any thread. A call made while the callback runs queues another one, so
  // no wake-up is lost.
  void QueueNotify();
  bool IsNotifyPending();

 protected:
  // On the main loop's thread.
  virtual void EvThreadQueuedNotify() = 0;
  virtual void EnterToolkitLock() {}
  virtual void LeaveToolkitLock() {}

 private:
  static gboolean SourceCallback(gpointer self);
  // Drops the pending source if it is `source`; true when it was.
  bool ClearSource(GSource* source);

  GMainContext* context_;
  std::mutex mutex_;           // guards source_
  GSource* source_ = nullptr;  // the pending idle source (a reference held)
};
