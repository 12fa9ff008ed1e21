#pragma once
// The desktop role's window, seen from the service layer, which includes no
// toolkit headers: the graphical control window (src/desktop) when a display
// can be opened, else the console stand-in.

#include <memory>
#include <string>

#include "foundation/log_handoff.h"
#include "service/engine_proxy.h"
#include "service/service_paths.h"

class MainEngineProxy;

class LControlWindow : public LLogStatusWindow, public LControlNotifyHandler {
 public:
  // On the main loop's thread, outside the toolkit lock.
  virtual void Raise() = 0;
  // Closes the window as its close question's "No" does (SIGINT, SIGTERM);
  // on the main loop's thread, outside the toolkit lock.
  virtual void Close() = 0;
  // Runs the window's start sequence (which starts `proxy`) and its main
  // loop; returns once the window has closed.
  virtual void Run() = 0;
  // A notice for the person at the machine, shown until dismissed; on the
  // main loop's thread.
  virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
};

// Sends the notices of the service layer (LServiceShowMessage) to `window`
// while it exists; null sends them back to the terminal.
void LControlWindowTakeMessages(LControlWindow* window);

// Null when the window cannot be made (no display).
using LControlWindowFactory = std::unique_ptr<LControlWindow> (*)(MainEngineProxy& proxy,
                                                                  const LServicePaths& paths);
