#pragma once
// Receiver of the engine's notifications. The service engine forwards them to
// every connected control window; the desktop's proxy hands them to its GTK
// main thread. The engine itself raises none today: the path exists so that
// later parts (station sessions, live screens) can report without knowing
// which process they run in.

#include <cstdint>

class LEngineNotifyHandler {
 public:
  virtual ~LEngineNotifyHandler() = default;
  // `data` may be null when `size` is 0. Called on the thread that raised
  // the notification; implementations must not block for long.
  virtual void EvEngineNotify(std::uint32_t code, const void* data, std::uint32_t size) = 0;
};
