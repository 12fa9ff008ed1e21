#pragma once
// LKXMaintenanceThread: the service's background thread for scheduled and
// requested work. Other parts wake it early by signalling its wake-up object
// through LKXMaintenanceThread::pMT after they change something it acts on.
//
// Each pass sends the mails that flags ask for (flagged_mail.h), then
// sleeps up to 60 seconds on its wake-up object, ending when stopped. The
// daily and weekly runs and the status captions are not written yet.

#include <atomic>

#include "engine/engine_parts.h"
#include "foundation/signal_object.h"
#include "foundation/thread.h"

class LKXMaintenanceThread : public LThread, public LEngineMaintenanceThread {
 public:
  // The longest sleep between two passes.
  static constexpr int kPassIntervalMs = 60000;

  // The running maintenance thread, or null. Set by StartMaintenance and
  // cleared by StopMaintenance (before the thread is stopped), so a part that
  // finds it set may signal it; the object itself lives as long as the
  // engine.
  static std::atomic<LKXMaintenanceThread*> pMT;

  LKXMaintenanceThread() = default;
  ~LKXMaintenanceThread() override;

  // Wakes the thread for a pass now.
  void Wake() { wakeUp_.Signal(); }
  LSignalObjectRef WakeUpSignal() const { return wakeUp_.Ref(); }

  void StartMaintenance(int priority) override;
  void StopMaintenance() override;

 protected:
  void ThreadFunction() override;

 private:
  LSignalObject wakeUp_;
};
