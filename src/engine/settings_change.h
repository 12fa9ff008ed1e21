#pragma once
// A settings change made inside the server itself (the routing page storing
// a new "LocalPort") reaches the engine as the desktop's settings-changed
// command does, MainEngine::Control(1), but on a thread of its own: the page
// runs on a connection thread, which the listener restart stops and joins.

#include <atomic>
#include <functional>

#include "foundation/thread.h"

class LSettingsChangeThread : public LThread {
 public:
  explicit LSettingsChangeThread(std::function<void()> apply) : apply_(std::move(apply)) {}
  ~LSettingsChangeThread() override { StopThreadNow(); }
  // Asks for one run of `apply`; requests that come while one waits merge.
  void Request();

 protected:
  void ThreadFunction() override;

 private:
  const std::function<void()> apply_;
  LSignalObject wake_;
};

// Asks the running engine to apply changed settings. False when no engine
// runs in this process (the change then applies at the next start).
bool LRequestSettingsChanged();

// The running engine's thread; set by MainEngine::Start, dropped by its Stop
// (only when it is still the one set).
void LSetSettingsChangeThread(LSettingsChangeThread* thread);
void LDropSettingsChangeThread(LSettingsChangeThread* thread);
