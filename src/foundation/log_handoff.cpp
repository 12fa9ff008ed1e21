#include "foundation/log_handoff.h"

#include <mutex>
#include <shared_mutex>
#include <utility>

namespace {

struct SinkSlot {
  // Guards `sink`. Callers hold it shared for the whole call, so several
  // threads relay at once while a replacement waits for them to finish.
  std::shared_mutex mutex;
  LServiceLogSink sink;
};

// Never destroyed: threads may still log while static objects are torn down.
SinkSlot& Slot() {
  static SinkSlot& slot = *new SinkSlot();
  return slot;
}

// A sink that logs (say, a failed send to a control window) would take the
// shared lock again or recurse without end; the inner line goes to the file
// only.
thread_local bool tInsideSink = false;

class InsideSinkScope {
 public:
  InsideSinkScope() { tInsideSink = true; }
  ~InsideSinkScope() { tInsideSink = false; }
  InsideSinkScope(const InsideSinkScope&) = delete;
  InsideSinkScope& operator=(const InsideSinkScope&) = delete;
};

}  // namespace

void LSetServiceLogSink(LServiceLogSink sink) {
  if (tInsideSink) return;  // would wait for itself
  SinkSlot& slot = Slot();
  std::unique_lock lock(slot.mutex);
  slot.sink = std::move(sink);
}

void LServiceLog(const std::string& clock_text, const std::string& text, std::uint8_t level) {
  if (tInsideSink) return;
  SinkSlot& slot = Slot();
  std::shared_lock lock(slot.mutex);
  if (!slot.sink) return;
  InsideSinkScope inside;
  slot.sink(clock_text, text, level);
}
