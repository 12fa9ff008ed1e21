#include "foundation/queued_notify.h"

#include <glib.h>

#include <cstring>
#include <memory>

namespace {

struct LQueuedNotifyBlock {
  int code;
  LQueuedNotifyDataHandler* handler;
  size_t length;
  std::unique_ptr<unsigned char[]> data;  // null when the sender passed none
};

gboolean DeliverQueuedNotify(gpointer block_pointer) {
  auto* block = static_cast<LQueuedNotifyBlock*>(block_pointer);
  block->handler->EvQueuedNotifyData(block->code, block->data.get(), block->length);
  return G_SOURCE_REMOVE;
}

// Also runs for a block never delivered (its context went away), so no
// block outlives its source.
void FreeQueuedNotify(gpointer block_pointer) {
  delete static_cast<LQueuedNotifyBlock*>(block_pointer);
}

}  // namespace

bool LQueuedNotifyDataSender::NotifyData(int code, const void* data, size_t length) {
  LQueuedNotifyDataHandler* handler = handler_.load();
  if (handler == nullptr) return false;
  auto* block = new LQueuedNotifyBlock{code, handler, length, nullptr};
  if (data != nullptr) {
    block->data.reset(new unsigned char[length]);
    if (length > 0) std::memcpy(block->data.get(), data, length);
  }
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &DeliverQueuedNotify, block, &FreeQueuedNotify);
  return true;
}
