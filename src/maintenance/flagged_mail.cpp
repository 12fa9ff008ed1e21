#include "maintenance/flagged_mail.h"

#include "foundation/settings_sections.h"
#include "foundation/thread.h"
#include "maintenance/notification_mail.h"
#include "model/leave_log.h"
#include "model/registry_lists.h"

namespace {

bool Stopped(LThread* thread) { return thread != nullptr && thread->IsStopRequested(); }

// A flag set by a page: sent, then cleared.
void SendFlag(LThread* thread, LKXUser& user, const LKXUserKey& key, bool (*send)(LThread*, LKXUser&)) {
  if (Stopped(thread) || !user.GetFlag(key)) return;
  if (send(thread, user)) (void)user.SetFlag(key, false);
}

// A date set by the daily or weekly jobs: sent with it, then emptied.
void SendDate(LThread* thread, LKXUser& user, const LKXUserKey& key,
              bool (*send)(LThread*, LKXUser&, std::string_view)) {
  if (Stopped(thread)) return;
  const std::string date = user.GetText(key);
  if (!KXIsDateText(date)) return;
  if (send(thread, user, date)) (void)user.SetText(key, "");
}

}  // namespace

void KXSendFlaggedMail(LThread* thread, bool leave_mode) {
  const std::string welcome = LSettingGetString("Settings", "WelcomeEmail");
  if (!welcome.empty() && welcome.front() != '0' && SendWelcomeEmail(thread)) {
    (void)LSettingSetString("Settings", "WelcomeEmail", "0");
  }
  for (LKXUserListIterator it(gKXUsersList); it.Next() && !Stopped(thread);) {
    LKXUser& user = it.Get();
    SendFlag(thread, user, kKXUserPasswordReq, SendPasswordRequestEmail);
    if (!leave_mode) continue;
    SendFlag(thread, user, kKXUserLeaveApplicationEmail, SendLeaveApplicationEmail);
    SendFlag(thread, user, kKXUserLeaveApproveEmail, SendLeaveApproveEmail);
    SendFlag(thread, user, kKXUserLeaveDisapproveEmail, SendLeaveDisapproveEmail);
    SendFlag(thread, user, kKXUserLeaveDeletedEmail, SendLeaveDeletedEmail);
    SendDate(thread, user, kKXUserLeaveFormRemindEmail, SendLeaveFormRemindEmail);
    SendDate(thread, user, kKXUserLeaveFormRemindEmailToManagers, SendLeaveFormRemindEmailToManagers);
  }
}
