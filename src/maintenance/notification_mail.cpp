#include "maintenance/notification_mail.h"

#include <functional>
#include <string>
#include <vector>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "hours/work_hours.h"
#include "mail/email_address.h"
#include "mail/email_install_defaults.h"
#include "mail/mail_encoders.h"
#include "mail/sendmail_send.h"
#include "mail/smtp_send.h"
#include "model/leave_log.h"
#include "model/leave_notices.h"
#include "model/leave_requests.h"
#include "model/org_settings.h"
#include "model/random_password.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "maintenance/notification_texts.h"

namespace {

constexpr char kEmail[] = "Email";

// A switch of the "Email" settings: `missing` when empty, else on unless
// the value begins with "0".
bool EmailSwitch(std::string_view key, bool missing) {
  const std::string value = LSettingGetString(kEmail, key);
  return value.empty() ? missing : value.front() != '0';
}

struct Recipient {
  std::string name;
  std::string email;
};

// The users for whom `wanted` holds, in registry order.
std::vector<Recipient> FindRecipients(const std::function<bool(LKXUser&)>& wanted) {
  std::vector<Recipient> out;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    if (wanted(user)) out.push_back({user.GetName(), user.GetEmail()});
  }
  return out;
}

std::vector<Recipient> ManagersAndHR(const std::string& staff) {
  return FindRecipients([&staff](LKXUser& user) { return user.IsAccountant() || KXIsManagerOf(user, staff); });
}

std::string NameOf(std::string_view email) {
  LKXUser user;
  return !email.empty() && KXGetUser(email, user) ? user.GetName() : std::string();
}

// Sends each recipient his own mail; true when at least one went out.
bool SendToEach(LThread* thread, const std::vector<Recipient>& recipients, std::string_view subject,
                const std::function<std::string(const Recipient&)>& body) {
  bool any = false;
  for (const Recipient& recipient : recipients) {
    any = SendEmail(thread, recipient.email, subject, body(recipient)) || any;
  }
  return any;
}

// The requests as the mails name them, each looked up in the logs for its
// whole range and its reason; a request no longer on file is named as it
// was noted (a deletion), or left out when `onFileOnly`.
std::vector<LKXLeaveLine> LeaveLines(const std::string& email, const std::vector<LKXNotedLeave>& noted,
                                     bool onFileOnly) {
  std::vector<LKXLeaveLine> lines;
  for (const LKXNotedLeave& leave : noted) {
    LKXLeaveRequest request;
    if (KXFindLeaveRequest(email, leave.start.substr(0, 4), leave.start, leave.end, request)) {
      lines.push_back({request.Type(), request.Start(), request.End(), request.Reason()});
    } else if (!onFileOnly) {
      lines.push_back({leave.type, leave.start, leave.end, ""});
    }
  }
  return lines;
}

bool SendLeaveDecision(LThread* thread, LKXUser& user, LKXLeaveDecision decision, const LKXUserKey& operator_key,
                       const char* subject, const std::vector<LKXNotedLeave>& noted) {
  const std::string operator_email = user.GetText(operator_key);
  const std::string email = user.GetEmail();
  // A deleted request is named as it was noted: its dates may be taken by
  // a new request since.
  std::vector<LKXLeaveLine> lines;
  if (decision == LKXLeaveDecision::kDeleted) {
    for (const LKXNotedLeave& leave : noted) lines.push_back({leave.type, leave.start, leave.end, ""});
  } else {
    lines = LeaveLines(email, noted, false);
  }
  return SendEmail(thread, email, subject,
                   KXLeaveDecisionBody(decision, user.GetName(), NameOf(operator_email), operator_email,
                                       KXReadPanelAddresses(), lines));
}

}  // namespace

bool SendEmail(LThread* thread, std::string_view to, std::string_view subject, std::string_view body) {
  LOG("Sending \"" + LEmailHeaderText(subject) + "\" email to " + LEmailHeaderText(to));
  (void)LEmail::CheckInstallDefaults();
  // One address, whole: a comma would make a second recipient of a mail
  // meant for this user alone, and a line end a header of its own.
  if (!LEmail::ValidateAddress(to)) {
    LOGERROR("Invalid email address to send to");
    LOGERROR("Email sending failed!");
    return false;
  }
  const std::string from = LSettingGetString(kEmail, "ReplyToEmail");
  LProcessResult result = kLProcessFailed;
  if (EmailSwitch("UseSendMail", false)) {
    LEmailSendProcessSendMail mail;
    mail.to = std::string(to);
    mail.from = from;
    mail.subject = std::string(subject);
    mail.body = std::string(body);
    result = Process(thread, mail);
  } else {
    EmailSMTPSendProcess mail;
    mail.to = std::string(to);
    mail.from = from;
    mail.subject = std::string(subject);
    mail.body = std::string(body);
    mail.helo_host = LSettingGetString(kEmail, "HeloHostName");
    if (EmailSwitch("UseSMTPHost", true)) {
      mail.relay_host = LSettingGetString(kEmail, "MailSMTPHost");
      if (EmailSwitch("SMTPAuthOn", false)) {
        mail.user_name = LSettingGetString(kEmail, "SMTPUserName");
        (void)LSettingGetPassword(kEmail, "SMTPPassword", "", mail.password);
      }
      mail.send_direct = EmailSwitch("SendDirect", true);
      mail.use_ssl = EmailSwitch("UseSSL", false);
      mail.verify_certificate = EmailSwitch("SSLVerifyCertificate", true);
    }
    result = Process(thread, mail);
  }
  if (result == kLProcessDone) return true;
  if (result != kLProcessStopped) LOGERROR("Email sending failed!");
  return false;
}

bool SendWelcomeEmail(LThread* thread) {
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& first = it.Get();
    return SendEmail(thread, first.GetEmail(), kKXWelcomeSubject, KXWelcomeBody(first.GetName()));
  }
  return false;
}

bool SendPasswordRequestEmail(LThread* thread, LKXUser& user) {
  LKXLogonDetails details;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (!it.Get().IsAdministrator()) continue;
    details.admin_name = it.Get().GetName();
    details.admin_email = it.Get().GetEmail();
    break;
  }
  if (!LGenRandomPassword(details.password)) return false;
  if (user.GetText(kKXUserOldPassword).empty() &&
      !user.SetText(kKXUserOldPassword, user.GetText(kKXUserPassword))) {
    return false;
  }
  if (!user.SetText(kKXUserPassword, details.password)) return false;
  details.name = user.GetName();
  details.email = user.GetEmail();
  details.mode_hours = KXOrgGetBool(LKXOrg::kModeHours);
  details.mode_leave = KXOrgGetBool(LKXOrg::kModeLeave);
  LOG("Sending logon details by email to: ", LEmailHeaderText(details.email));
  return SendEmail(thread, details.email, kKXLogonDetailsSubject,
                   KXLogonDetailsBody(details, KXReadPanelAddresses()));
}

bool SendLeaveApplicationEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& applied) {
  const std::string email = user.GetEmail();
  LOG("Sending Leave Application Inform Emails for ", LEmailHeaderText(email));
  std::vector<LKXLeaveLine> lines = LeaveLines(email, applied, true);
  if (applied.empty()) {
    // A request raised without naming itself: the last record of this
    // year's log, as before requests were noted.
    const std::vector<LKXLeaveRecord> records = KXReadLeaveLog(email, KXCurrentYearText());
    if (!records.empty()) {
      const LKXLeaveRecord& last = records.back();
      lines.push_back({last.type, last.start, last.end, last.reason});
    }
  }
  // Nothing on file to announce (withdrawn before the mail went out).
  if (lines.empty()) return true;
  // Only a stored "0" turns approval off; the flag's own default is on.
  const std::string required = LSettingGetString("Settings", "LeaveApprovalRequired");
  const bool approvalRequired = required.empty() || required.front() != '0';
  const LKXPanelAddresses addresses = KXReadPanelAddresses();
  const std::string subject = KXFormatText(kKXLeaveApplicationSubject, user.GetName().c_str());
  bool any = false;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& to = it.Get();
    const bool manager = KXIsManagerOf(to, email);
    if (!manager && !to.IsAccountant()) continue;
    const std::string message =
        KXLeaveApplicationMessage(user.GetName(), email, lines, approvalRequired,
                                  manager ? LKXLeaveReader::kApprover : LKXLeaveReader::kHROnly, addresses);
    any = SendEmail(thread, to.GetEmail(), subject, KXGreeting(to.GetName(), message)) || any;
  }
  return any;
}

bool SendLeaveApplicationEmail(LThread* thread, LKXUser& user) {
  return SendLeaveApplicationEmail(thread, user, KXNotedLeaves(user, LKXLeaveNotice::kApplication));
}

bool SendLeaveApproveEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& decided) {
  return SendLeaveDecision(thread, user, LKXLeaveDecision::kApproved, kKXUserLeaveApproveOperator,
                           kKXLeaveApprovedSubject, decided);
}

bool SendLeaveDisapproveEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& decided) {
  return SendLeaveDecision(thread, user, LKXLeaveDecision::kDisapproved, kKXUserLeaveDisapproveOperator,
                           kKXLeaveDisapprovedSubject, decided);
}

bool SendLeaveDeletedEmail(LThread* thread, LKXUser& user, const std::vector<LKXNotedLeave>& deleted) {
  return SendLeaveDecision(thread, user, LKXLeaveDecision::kDeleted, kKXUserLeaveDeletedOperator,
                           kKXLeaveDeletedSubject, deleted);
}

bool SendLeaveApproveEmail(LThread* thread, LKXUser& user) {
  return SendLeaveApproveEmail(thread, user, KXNotedLeaves(user, LKXLeaveNotice::kApprove));
}

bool SendLeaveDisapproveEmail(LThread* thread, LKXUser& user) {
  return SendLeaveDisapproveEmail(thread, user, KXNotedLeaves(user, LKXLeaveNotice::kDisapprove));
}

bool SendLeaveDeletedEmail(LThread* thread, LKXUser& user) {
  return SendLeaveDeletedEmail(thread, user, KXNotedLeaves(user, LKXLeaveNotice::kDeleted));
}

bool SendLeaveFormRemindEmail(LThread* thread, LKXUser& user, std::string_view date) {
  return SendEmail(thread, user.GetEmail(), kKXAbsenceReportSubject,
                   KXAbsenceReportBody(user.GetName(), date, KXReadPanelAddresses()));
}

bool SendLeaveFormRemindEmailToManagers(LThread* thread, LKXUser& user, std::string_view date) {
  const std::string email = user.GetEmail();
  const std::string name = user.GetName();
  const LKXPanelAddresses addresses = KXReadPanelAddresses();
  return SendToEach(thread, ManagersAndHR(email), KXFormatText(kKXAbsenceToManagersSubject, name.c_str()),
                    [&](const Recipient& to) {
                      return KXAbsenceToManagersBody(to.name, name, email, date, addresses);
                    });
}

bool SendNonConnectNoticeEmail(LThread* thread, LKXUser& user) {
  const std::string email = user.GetEmail();
  const std::string name = user.GetName();
  const std::vector<Recipient> recipients =
      FindRecipients([&email](LKXUser& other) { return other.IsAdministrator() || KXIsManagerOf(other, email); });
  return SendToEach(thread, recipients, kKXNoConnectionSubject,
                    [&](const Recipient& to) { return KXNoConnectionBody(to.name, name, email); });
}

bool SendAutoDetectedHolidayEmail(LThread* thread, LDateTime date) {
  const std::string body = KXHolidayDetectedBody(date.GetDateText());
  return SendToEach(thread, FindRecipients([](LKXUser& user) { return user.IsAdministrator(); }),
                    kKXHolidayDetectedSubject, [&body](const Recipient&) { return body; });
}

void SendCasualWorkHours(LThread* thread, LDateTime start, LDateTime end) {
  struct Casual {
    std::string email;
    std::string managers;
    int minutes = 0;
  };
  std::vector<Casual> casuals;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    if (!user.IsCasual()) continue;
    Casual casual{user.GetEmail(), user.GetText(kKXUserManager), 0};
    LWorkHoursData data;
    LKXReport::LKXCalculateHours(casual.email, start, end, data);
    casual.minutes = data.total_mins;
    casuals.push_back(std::move(casual));
  }
  const std::string from = start.GetDateText();
  const std::string to = end.GetDateText();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const bool to_hr = user.IsAccountant();
    if (!to_hr && !KXIsManager(user)) continue;
    const std::string email = user.GetEmail();
    std::string rows;
    for (const Casual& casual : casuals) {
      if (to_hr || KXCommaListContains(casual.managers, email)) rows += KXCasualHoursRow(casual.email, casual.minutes);
    }
    if (!to_hr && rows.empty()) continue;
    (void)SendEmail(thread, email, to_hr ? kKXCasualHoursToHRSubject : kKXCasualHoursToManagerSubject,
                    KXCasualHoursHead(to_hr, user.GetName(), from, to) + rows + "\r\n");
  }
}
