#pragma once
// The notification e-mails: each operation finds its recipients in the
// staff registry, composes the text (notification_texts.h) and hands it to
// SendEmail. They run on the maintenance thread, whose stop flag `thread`
// carries into the delivery (null outside a thread). Each returns true when
// its mail was delivered (for those with several recipients: at least one),
// which is when the maintenance thread clears the request that asked for
// it; false leaves the request for the next pass.

#include <string_view>
#include <vector>

#include "foundation/date_time.h"
#include "model/leave_notices.h"

class LThread;
class LKXUser;

// Delivers one mail to one address with the "Email" settings: through
// sendmail when "UseSendMail" is on, else over SMTP. An address that
// LEmail::ValidateAddress refuses (a comma, a line end, no domain) is not
// sent to. Logs "Sending "<subject>" email to <to>" first and "Email
// sending failed!" on failure.
bool SendEmail(LThread* thread, std::string_view to, std::string_view subject, std::string_view body);

// To the first user of the registry.
bool SendWelcomeEmail(LThread* thread);
// Issues a new password (keeping the old one in "OldPassword" while that is
// empty) and mails the logon details to the user.
bool SendPasswordRequestEmail(LThread* thread, LKXUser& user);
// The requests the user applied for (noted beside "LeaveApplicationEmail",
// each with its whole range and its reason as now on file), to the user's
// managers and every HR user; an HR user who is not a manager is informed
// and pointed to the leave report, since only managers act on the pending
// page. Without noted requests (a flag raised by an older version) the last
// record of this year's log is announced. True without a mail when nothing
// is left on file to announce: a retry every minute would not change that.
bool SendLeaveApplicationEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& applied);
// The decision mails name each decided request (type and whole range).
bool SendLeaveApproveEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& decided);
bool SendLeaveDisapproveEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& decided);
bool SendLeaveDeletedEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& deleted);
// The same with the requests noted on the user record.
bool SendLeaveApplicationEmail(LThread* thread, LKXUser& user);
bool SendLeaveApproveEmail(LThread* thread, LKXUser& user);
bool SendLeaveDisapproveEmail(LThread* thread, LKXUser& user);
bool SendLeaveDeletedEmail(LThread* thread, LKXUser& user);
bool SendLeaveFormRemindEmail(LThread* thread, LKXUser& user, std::string_view date);
bool SendLeaveFormRemindEmailToManagers(LThread* thread, LKXUser& user, std::string_view date);
// To the user's managers and every administrator.
bool SendNonConnectNoticeEmail(LThread* thread, LKXUser& user);
// To every administrator.
bool SendAutoDetectedHolidayEmail(LThread* thread, LDateTime date);
// To every HR user (always) and to every other manager of casual staff
// (when he has any).
void SendCasualWorkHours(LThread* thread, LDateTime start, LDateTime end);
