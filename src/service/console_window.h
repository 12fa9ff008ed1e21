#pragma once
// The desktop role's window until the graphical control window exists: the
// same duties on a terminal. It shows every log line the process receives or
// writes, reports notifications, and says when a second start asked for it.

#include <cstdint>
#include <mutex>
#include <string>

#include "foundation/log_handoff.h"
#include "service/engine_proxy.h"

inline constexpr char kLConsoleRaised[] = "KavrixServer control window raised";

class LConsoleControlWindow : public LLogStatusWindow, public LControlNotifyHandler {
 public:
  explicit LConsoleControlWindow(int outputFd) : outputFd_(outputFd) {}

  // Any thread: the line is written at once, whole.
  void QueueLogLine(const std::string& clockText, const std::string& text, std::uint8_t level) override;
  // On the main loop's thread.
  void EvControlNotify(std::uint32_t code, const void* data, size_t size) override;
  void Raise();

 private:
  void WriteLine(const std::string& line);

  const int outputFd_;
  // Guards writes to outputFd_, so that lines of several threads never mix.
  std::mutex writeMutex_;
};
