#pragma once
// LKXMaintenanceThread: the service's background thread for scheduled and
// requested work. It wakes at least once a minute and runs one pass
// (maintenance_pass.h): flagged mail, requested daily and weekly runs,
// offline captions, and the night's schedule. Other parts wake it early
// through KXWakeMaintenance (maintenance_wake.h) after they change something
// it acts on.
//
// The daily jobs (daily_jobs.h), in order: old screenshot folders,
// public-holiday detection, per user the no-connection notices and the
// leave-form reminder, and the casual-staff hours report. The weekly jobs
// (weekly_jobs.h): the managers' leave-form reminders, the weekly staff
// report, the insufficient-hours and the private-programs warnings.

#include <atomic>
#include <cstdint>

#include "engine/engine_parts.h"
#include "foundation/date_time.h"
#include "foundation/signal_object.h"
#include "foundation/thread.h"

class LKXUser;

class LKXMaintenanceThread : public LThread, public LEngineMaintenanceThread {
 public:
  // The longest sleep between two passes.
  static constexpr int kPassIntervalMs = 60000;

  // The thread KXWakeMaintenance wakes (maintenance_wake.h), or null: set by
  // StartMaintenance and cleared by StopMaintenance before the thread stops;
  // the object itself lives as long as the engine.
  static LKXMaintenanceThread* Running();
  // Makes this the thread KXWakeMaintenance wakes. StartMaintenance does it;
  // a test may do it for a thread it watches without starting it.
  void Publish();

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
  // Waits a pass interval or until woken (true) or stopped (false); records
  // dropped meanwhile are counted in the log as soon as their minute has
  // come, without a pass.
  bool WaitForNextPass();

  LSignalObject wakeUp_;
};
