#include "service/console_window.h"

#include "foundation/write_all.h"

void LConsoleControlWindow::QueueLogLine(const std::string& clockText, const std::string& text, std::uint8_t level) {
  WriteLine(clockText + (level == kLLogLevelError ? " ! " : " ") + text);
}

void LConsoleControlWindow::EvControlNotify(std::uint32_t code, const void*, size_t size) {
  WriteLine("Notification " + std::to_string(code) + " (" + std::to_string(size) + " bytes)");
}

void LConsoleControlWindow::Raise() { WriteLine(kLConsoleRaised); }

void LConsoleControlWindow::WriteLine(const std::string& line) {
  std::lock_guard<std::mutex> lock(writeMutex_);
  // A closed terminal loses the line; the program carries on.
  (void)LWriteAll(outputFd_, line + "\n");
}
