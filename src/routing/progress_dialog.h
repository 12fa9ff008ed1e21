#pragma once
// A long process (the address probe) shown to the user while it runs. The
// control window shows a progress dialog with a Stop button; the service,
// which has no window, logs the steps instead (LLogProgressDialog). Either
// way the process runs on a worker thread whose stop request is the Stop.

#include <string>
#include <string_view>

#include "foundation/process_result.h"

class LThread;

// What a process tells the dialog while it runs.
class LProgressSink {
 public:
  virtual ~LProgressSink() = default;
  virtual void ShowStep(std::string_view text) = 0;
  // How much is done, 0 to 1; a dialog without a bar ignores it.
  virtual void ShowFraction(double) {}
};

class LProgressProcess {
 public:
  virtual ~LProgressProcess() = default;
  // The process's name ("Routing Test Wizard").
  virtual std::string_view Name() const = 0;
  // Runs on the dialog's worker; every wait honours `worker`'s stop request.
  virtual LProcessResult Process(LThread& worker, LProgressSink& sink) = 0;
};

class LProgressDialog {
 public:
  virtual ~LProgressDialog() = default;
  // Shows a dialog titled `title`, runs `process` on a worker until it ends
  // or the user stops it, and returns its result.
  virtual LProcessResult RunProcess(std::string_view title, LProgressProcess& process) = 0;
};
