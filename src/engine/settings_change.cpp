#include "engine/settings_change.h"

#include <mutex>

#include "foundation/process_wait.h"

namespace {
// Guards gRunning, so that a request never reaches a thread being destroyed.
std::mutex gRunningMutex;
LSettingsChangeThread* gRunning = nullptr;
}  // namespace

void LSettingsChangeThread::Request() { wake_.Signal(); }

void LSettingsChangeThread::ThreadFunction() {
  while (ProcessWaitSignalForever(this, wake_.Ref()) == kLProcessDone) {
    wake_.Reset();
    apply_();
  }
}

bool LRequestSettingsChanged() {
  std::lock_guard<std::mutex> lock(gRunningMutex);
  if (gRunning == nullptr) return false;
  gRunning->Request();
  return true;
}

void LSetSettingsChangeThread(LSettingsChangeThread* thread) {
  std::lock_guard<std::mutex> lock(gRunningMutex);
  gRunning = thread;
}

void LDropSettingsChangeThread(LSettingsChangeThread* thread) {
  std::lock_guard<std::mutex> lock(gRunningMutex);
  if (gRunning == thread) gRunning = nullptr;
}
