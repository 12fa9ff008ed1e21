#pragma once
// The program's desktop role: one instance per user, which reaches the
// service over the control channel (starting it when it is missing) or runs
// the engine itself, and shows the service's log live. Until the graphical
// control window exists, a console stand-in (console_window.h) plays the
// window: it prints the log and reads commands from standard input:
//   settings   the settings changed (command code 1)
//   exit       stop the service and end, as the window's Exit does
//   close      end; the service keeps running
// SIGINT, SIGTERM and "close" end it the same way.

#include <string>

#include "service/control_window.h"
#include "service/service_paths.h"

struct LDesktopOptions {
  // The service installation the role starts or stops (tests point it into
  // their own folder).
  LServicePaths paths;
  // Empty: $HOME/.KavrixServer.runonce.
  std::string runOncePath;
  int inputFd = 0;
  // Makes the graphical window; null, or a factory that yields null, keeps
  // the console stand-in.
  LControlWindowFactory windowFactory = nullptr;
  int outputFd = 1;
};

// Returns the exit status: 0 when the window closed, or at once when another
// instance took the arguments; 1 when neither instance could be reached.
int LDesktopRun(int argc, const char* const* argv, const LDesktopOptions& options);
