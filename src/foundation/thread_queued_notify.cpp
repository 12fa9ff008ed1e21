#include "foundation/thread_queued_notify.h"

LThreadQueuedNotify::LThreadQueuedNotify(GMainContext* context) : context_(context) {}

LThreadQueuedNotify::~LThreadQueuedNotify() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (source_ == nullptr) return;
  g_source_destroy(source_);
  g_source_unref(source_);
  source_ = nullptr;
}

void LThreadQueuedNotify::QueueNotify() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (source_ != nullptr) return;
  source_ = g_idle_source_new();
  g_source_set_callback(source_, &LThreadQueuedNotify::SourceCallback, this, nullptr);
  g_source_attach(source_, context_);
}

bool LThreadQueuedNotify::IsNotifyPending() {
  std::lock_guard<std::mutex> lock(mutex_);
  return source_ != nullptr;
}

bool LThreadQueuedNotify::ClearSource(GSource* source) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (source_ != source) return false;
  g_source_unref(source_);
  source_ = nullptr;
  return true;
}

gboolean LThreadQueuedNotify::SourceCallback(gpointer self_pointer) {
  GSource* source = g_main_current_source();
  // A destroyed source means the object is going or gone: touch nothing.
  if (g_source_is_destroyed(source)) return G_SOURCE_REMOVE;
  auto* self = static_cast<LThreadQueuedNotify*>(self_pointer);
  self->EnterToolkitLock();
  // The source is cleared before the callback runs, so that a wake-up sent
  // while it runs queues a new one instead of being swallowed.
  if (self->ClearSource(source)) self->EvThreadQueuedNotify();
  self->LeaveToolkitLock();
  return G_SOURCE_REMOVE;
}
