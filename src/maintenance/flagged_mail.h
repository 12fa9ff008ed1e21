#pragma once
// The maintenance pass's requests carried on flags. Each flag is cleared
// only once its mail was delivered, so that a refused or failed delivery is
// tried again on the next pass:
//   - "Settings"/"WelcomeEmail": the welcome mail, then "0";
//   - per user: "PasswordReq" (the logon details), and with leave
//     management on "LeaveApplicationEmail", "LeaveApproveEmail",
//     "LeaveDisapproveEmail", "LeaveDeletedEmail" (each mail names the
//     requests noted beside its flag, leave_notices.h), then the dates in
//     "LeaveFormRemindEmail" and "LeaveFormRemindEmailToManagers" (emptied
//     once sent); then the no-connection notices: "NonConnectNotice24" at 1
//     asks for the logon details again (sent on the next pass) and becomes
//     2, "NonConnectNotice48" at 1 mails the managers and becomes 2.
// A stop request ends the step between two mails.

class LThread;
class LKXUser;

// The welcome mail when "WelcomeEmail" is on.
void KXSendWelcomeIfRequested(LThread* thread);
// Every request on one user record, in the order above.
void KXHandleUserFlags(LThread* thread, LKXUser& user, bool leave_mode);
// The welcome mail, then every user's requests in registry order.
void KXSendFlaggedMail(LThread* thread, bool leave_mode);
