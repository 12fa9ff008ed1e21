#include "maintenance/maintenance_thread.h"

#include <chrono>
#include <ctime>

#include "foundation/log.h"
#include "foundation/process_wait.h"
#include "maintenance/maintenance_pass.h"
#include "maintenance/maintenance_wake.h"
#include "model/dropped_records.h"
#include "model/org_settings.h"

namespace {

// Written by the engine's thread at start and stop, read by connection
// threads that wake it.
std::atomic<LKXMaintenanceThread*> gRunning{nullptr};

}  // namespace

LKXMaintenanceThread* LKXMaintenanceThread::Running() { return gRunning.load(); }

void LKXMaintenanceThread::Publish() { gRunning.store(this); }

void KXWakeMaintenance() {
  if (LKXMaintenanceThread* thread = gRunning.load()) thread->Wake();
}

LKXMaintenanceThread::~LKXMaintenanceThread() { StopMaintenance(); }

void LKXMaintenanceThread::StartMaintenance(int priority) {
  if (!Start(priority)) {
    LOGERROR("Unable to start the maintenance thread.");
    return;
  }
  Publish();
}

void LKXMaintenanceThread::StopMaintenance() {
  LKXMaintenanceThread* self = this;
  gRunning.compare_exchange_strong(self, nullptr);
  StopThreadNow();
}

void LKXMaintenanceThread::ThreadFunction() {
  LKXPassContext context;
  context.thread = this;
  // Read once: a change of the running mode or of the zone takes effect at
  // the next start.
  context.leave_mode = KXOrgGetBool(LKXOrg::kModeLeave);
  // The captions are shown in the server's zone. The bias counts the other
  // way round from the zones that stations report (east positive), so it is
  // turned back before it is compared with them.
  context.viewer_zone = -KXLocalTimeZoneBias();
  for (;;) {
    // Reset before the work, so that a wake-up during the pass is not lost.
    wakeUp_.Reset();
    KXMaintenancePass(context);
    if (!WaitForNextPass()) return;
  }
}

bool LKXMaintenanceThread::WaitForNextPass() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPassIntervalMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0) return true;
    int waitMs = static_cast<int>(left);
    const int dueSeconds = KXDroppedRecordsSecondsUntilDue();
    if (dueSeconds >= 0 && dueSeconds * 1000 < waitMs) waitMs = dueSeconds * 1000;
    const auto start = std::chrono::steady_clock::now();
    const LProcessResult woke = ProcessWaitSignal(this, wakeUp_.Ref(), waitMs);
    if (woke == kLProcessStopped || IsStopRequested()) return false;
    if (woke == kLProcessDone) return true;
    // A wait that failed before its time (no timeout) goes on to the pass,
    // as a woken one does, rather than trying again at once.
    if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(waitMs / 2)) return true;
    KXReportDroppedRecords();
  }
}
