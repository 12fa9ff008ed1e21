#pragma once
// Where a system log line goes for live display besides its file: to the
// control window's status area when this process has one, otherwise to the
// service engine, which relays it to every connected control window.

#include <cstdint>
#include <functional>
#include <string>

// Levels passed along with each line to the live display (never written to
// the file).
inline constexpr std::uint8_t kLLogLevelPlain = 0;
inline constexpr std::uint8_t kLLogLevelError = 1;

// Implemented by the desktop control window. QueueLogLine is called on the
// logging thread: it must only queue the line for the GUI thread, must not
// block, and must not attach or detach a window. Lines it logs itself reach
// the file only.
class LLogStatusWindow {
 public:
  virtual ~LLogStatusWindow() = default;
  virtual void QueueLogLine(const std::string& clock_text, const std::string& text, std::uint8_t level) = 0;
};

// Registered by the service engine while it runs; called from any thread.
using LServiceLogSink = std::function<void(const std::string& clock_text, const std::string& text, std::uint8_t level)>;

// Replaces the sink (an empty function removes it). Returns only when no call
// of the previous sink is still running, so the engine may be destroyed then.
void LSetServiceLogSink(LServiceLogSink sink);

// Hands the line to the registered sink; does nothing when none is registered
// (a bare tool process) or when called again from inside the sink itself.
void LServiceLog(const std::string& clock_text, const std::string& text, std::uint8_t level);
