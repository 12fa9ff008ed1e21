#pragma once
// LKXMaintenanceThread: the service's background thread for scheduled and
// requested work. It wakes at least once a minute and runs one pass
// (maintenance_pass.h): flagged mail, requested daily and weekly runs,
// offline captions, and the night's schedule. Other parts wake it early by
// signalling it through LKXMaintenanceThread::pMT after they change
// something it acts on.
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

  // The jobs, on `thread` (whose stop request ends them between two users;
  // null outside a thread).
  static void DailyMaintenanceProc(LThread* thread);
  static void WeeklyMaintenanceProc(LThread* thread);
  // The minutes `user` is expected to work from `from` to `to` (at most a
  // week), as the hours pages count them.
  static std::int32_t GetRequiredWorkMinutes(LKXUser& user, LDateTime from, LDateTime to);

  // The server's time-zone bias: minus its offset from UTC in minutes, so
  // that zones east of UTC give negative values.
  static int LocalTimeZoneBias();

 protected:
  void ThreadFunction() override;

 private:
  // Waits a pass interval or until woken (true) or stopped (false); records
  // dropped meanwhile are counted in the log as soon as their minute has
  // come, without a pass.
  bool WaitForNextPass();

  LSignalObject wakeUp_;
};
