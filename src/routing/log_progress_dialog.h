#pragma once
// The progress dialog of a process without a window: the title and each
// step become log lines, and Stop() (from any thread) is the Stop button.

#include <mutex>
#include <string>

#include "routing/progress_dialog.h"

class LThread;

class LLogProgressDialog : public LProgressDialog {
 public:
  LProcessResult RunProcess(std::string_view title, LProgressProcess& process) override;
  // Stops the running process, if any; it ends within one 200 ms wait.
  void Stop();

 private:
  // Guards worker_, which is set only while RunProcess runs a process.
  std::mutex mutex_;
  LThread* worker_ = nullptr;
};
