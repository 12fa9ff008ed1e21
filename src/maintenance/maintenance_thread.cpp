#include "maintenance/maintenance_thread.h"

#include "foundation/log.h"
#include "foundation/process_wait.h"

std::atomic<LKXMaintenanceThread*> LKXMaintenanceThread::pMT{nullptr};

LKXMaintenanceThread::~LKXMaintenanceThread() { StopMaintenance(); }

void LKXMaintenanceThread::StartMaintenance(int priority) {
  if (!Start(priority)) {
    LOGERROR("Unable to start the maintenance thread.");
    return;
  }
  pMT.store(this);
}

void LKXMaintenanceThread::StopMaintenance() {
  LKXMaintenanceThread* self = this;
  pMT.compare_exchange_strong(self, nullptr);
  StopThreadNow();
}

void LKXMaintenanceThread::ThreadFunction() {
  for (;;) {
    const LProcessResult woke = ProcessWaitSignal(this, wakeUp_.Ref(), kPassIntervalMs);
    if (woke == kLProcessStopped || IsStopRequested()) return;
    // A wake-up is consumed here so that the next wait sleeps again.
    wakeUp_.Reset();
  }
}
