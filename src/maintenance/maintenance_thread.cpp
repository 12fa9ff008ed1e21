#include "maintenance/maintenance_thread.h"

#include "foundation/log.h"
#include "foundation/process_wait.h"
#include "maintenance/flagged_mail.h"
#include "model/org_settings.h"

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
  // Read once: a change of the running mode takes effect at the next start.
  const bool leave_mode = KXOrgGetBool(LKXOrg::kModeLeave);
  for (;;) {
    // Reset before the work, so that a wake-up during the pass is not lost.
    wakeUp_.Reset();
    KXSendFlaggedMail(this, leave_mode);
    const LProcessResult woke = ProcessWaitSignal(this, wakeUp_.Ref(), kPassIntervalMs);
    if (woke == kLProcessStopped || IsStopRequested()) return;
  }
}
