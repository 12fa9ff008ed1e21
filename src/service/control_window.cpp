#include "service/control_window.h"

#include <atomic>

#include "service/root_prompt.h"

namespace {

// The window that shows notices, or null.
std::atomic<LControlWindow*> gMessageWindow{nullptr};

void ShowInWindow(const std::string& title, const std::string& text) {
  if (LControlWindow* window = gMessageWindow.load()) window->ShowMessage(title, text);
}

}  // namespace

void LControlWindowTakeMessages(LControlWindow* window) {
  gMessageWindow.store(window);
  LServiceSetMessageHandler(window != nullptr ? ShowInWindow : nullptr);
}
