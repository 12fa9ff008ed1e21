#pragma once
// The maintenance pass's mail step: sends the mails that pages and the
// setup wizard asked for by raising flags, and clears each flag only once
// its mail was delivered, so that a refused or failed delivery is tried
// again on the next pass:
//   - "Settings"/"WelcomeEmail": the welcome mail, then "0";
//   - per user, in registry order: "PasswordReq" (the logon details), and
//     with leave management on "LeaveApplicationEmail",
//     "LeaveApproveEmail", "LeaveDisapproveEmail", "LeaveDeletedEmail",
//     then the dates in "LeaveFormRemindEmail" and
//     "LeaveFormRemindEmailToManagers" (emptied once sent).
// A stop request ends the step between two mails.

class LThread;

void KXSendFlaggedMail(LThread* thread, bool leave_mode);
