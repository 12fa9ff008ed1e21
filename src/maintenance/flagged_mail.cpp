#include "maintenance/flagged_mail.h"

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "foundation/stop_request.h"
#include "maintenance/notification_mail.h"
#include "model/leave_log.h"
#include "model/leave_notices.h"
#include "model/registry_lists.h"

namespace {

// The no-connection notices: 1 asks for the notice, 2 says it went out.
constexpr int kNoticeRequested = 1;
constexpr int kNoticeDone = 2;

void CannotSave(LKXUser& user, const LKXUserKey& key) {
  LOGERROR("Unable to save \"" + std::string(key.name) + "\" of " + user.GetEmail());
}

// A flag set by a page: sent, then cleared.
void SendFlag(LThread* thread, LKXUser& user, const LKXUserKey& key, bool (*send)(LThread*, LKXUser&)) {
  if (LStopRequested(thread) || !user.GetFlag(key)) return;
  if (send(thread, user) && !user.SetFlag(key, false)) CannotSave(user, key);
}

// A leave notice: the mail names the requests noted beside the flag, and
// only those are forgotten once it went out; a request noted meanwhile
// keeps the flag for the next pass.
void SendLeaveNotice(LThread* thread, LKXUser& user, LKXLeaveNotice notice,
                     bool (*send)(LThread*, LKXUser&, const std::vector<LKXNotedLeave>&)) {
  const LKXUserKey& flag = KXLeaveNoticeFlag(notice);
  if (LStopRequested(thread) || !user.GetFlag(flag)) return;
  const std::vector<LKXNotedLeave> noted = KXNotedLeaves(user, notice);
  if (send(thread, user, noted) && !KXClearLeaveNotice(user, notice, noted.size())) CannotSave(user, flag);
}

// A date set by the daily or weekly jobs: sent with it, then emptied.
void SendDate(LThread* thread, LKXUser& user, const LKXUserKey& key,
              bool (*send)(LThread*, LKXUser&, std::string_view)) {
  if (LStopRequested(thread)) return;
  const std::string date = user.GetText(key);
  if (!KXIsDateText(date)) return;
  if (send(thread, user, date) && !user.SetText(key, "")) CannotSave(user, key);
}

void HandleNoConnectionNotices(LThread* thread, LKXUser& user) {
  if (user.GetNumber(kKXUserNonConnectNotice24) == kNoticeRequested) {
    // The logon details go out again on the next pass, by the usual flag.
    if (!user.SetFlag(kKXUserPasswordReq, true) || !user.SetNumber(kKXUserNonConnectNotice24, kNoticeDone)) {
      CannotSave(user, kKXUserNonConnectNotice24);
    }
  }
  if (LStopRequested(thread) || user.GetNumber(kKXUserNonConnectNotice48) != kNoticeRequested) return;
  if (SendNonConnectNoticeEmail(thread, user) && !user.SetNumber(kKXUserNonConnectNotice48, kNoticeDone)) {
    CannotSave(user, kKXUserNonConnectNotice48);
  }
}

}  // namespace

void KXSendWelcomeIfRequested(LThread* thread) {
  const std::string welcome = LSettingGetString("Settings", "WelcomeEmail");
  if (!welcome.empty() && welcome.front() != '0' && SendWelcomeEmail(thread)) {
    (void)LSettingSetString("Settings", "WelcomeEmail", "0");
  }
}

void KXHandleUserFlags(LThread* thread, LKXUser& user, bool leave_mode) {
  SendFlag(thread, user, kKXUserPasswordReq, SendPasswordRequestEmail);
  if (leave_mode) {
    SendLeaveNotice(thread, user, LKXLeaveNotice::kApplication, SendLeaveApplicationEmail);
    SendLeaveNotice(thread, user, LKXLeaveNotice::kApprove, SendLeaveApproveEmail);
    SendLeaveNotice(thread, user, LKXLeaveNotice::kDisapprove, SendLeaveDisapproveEmail);
    SendLeaveNotice(thread, user, LKXLeaveNotice::kDeleted, SendLeaveDeletedEmail);
    SendDate(thread, user, kKXUserLeaveFormRemindEmail, SendLeaveFormRemindEmail);
    SendDate(thread, user, kKXUserLeaveFormRemindEmailToManagers, SendLeaveFormRemindEmailToManagers);
  }
  HandleNoConnectionNotices(thread, user);
}

void KXSendFlaggedMail(LThread* thread, bool leave_mode) {
  KXSendWelcomeIfRequested(thread);
  for (LKXUserListIterator it(gKXUsersList); it.Next() && !LStopRequested(thread);) {
    KXHandleUserFlags(thread, it.Get(), leave_mode);
  }
}
