#pragma once
// The subjects and bodies of the notification e-mails, as pure functions of
// the names, dates and addresses they show, so that every text can be
// checked byte for byte. Lines end CR LF.

#include <string>
#include <string_view>
#include <vector>

#include "routing/panel_addresses.h"

inline constexpr char kKXWelcomeSubject[] = "KavrixServer: Welcome";
inline constexpr char kKXLogonDetailsSubject[] = "KavrixServer: Logon Details";
inline constexpr char kKXLeaveApplicationSubject[] = "KavrixServer: New Leave Application - %s";
inline constexpr char kKXLeaveApprovedSubject[] = "KavrixServer: Leave Application Approved";
inline constexpr char kKXLeaveDisapprovedSubject[] = "KavrixServer: Leave Application Disapproved";
inline constexpr char kKXLeaveDeletedSubject[] = "KavrixServer: Leave Application Deleted";
inline constexpr char kKXAbsenceReportSubject[] = "KavrixServer: Unexplained Absence Report";
inline constexpr char kKXAbsenceToManagersSubject[] = "KavrixServer: Unexplained Absense - %s";
inline constexpr char kKXNoConnectionSubject[] = "KavrixServer: No Connection Notice";
inline constexpr char kKXHolidayDetectedSubject[] = "KavrixServer: Public holiday detected";
inline constexpr char kKXCasualHoursToHRSubject[] = "Casual employees worked hours to HR";
inline constexpr char kKXCasualHoursToManagerSubject[] = "Casual employees worked hours to Manager";

// printf-style formatting into a string (the texts hold no other "%").
std::string KXFormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "    http://<private>:<port>/ (local network)" and the Internet line.
std::string KXLogonDetailsBlock(const LKXPanelAddresses& addresses);

std::string KXWelcomeBody(std::string_view name);

struct LKXLogonDetails {
  std::string name;         // the user's
  std::string admin_name;   // the contact administrator's, empty when none
  std::string admin_email;
  std::string email;        // the user's address
  std::string password;     // the new password
  bool mode_hours = true;
  bool mode_leave = true;
};
std::string KXLogonDetailsBody(const LKXLogonDetails& details, const LKXPanelAddresses& addresses);

// One leave request as the mails name it.
struct LKXLeaveLine {
  std::string type;
  std::string start;
  std::string end;
  std::string reason;  // named by the application only
};

// Whom a leave application is announced to: the applicant's manager, who
// approves it on the pending page, or an HR user who is not, who is only
// informed and pointed to the leave report (the pending page lists a
// manager's own staff only).
enum class LKXLeaveReader { kApprover, kHROnly };

// The announcement shared by every recipient of a leave application, one
// "Leave Type", "Date" and "Reason" block per request.
std::string KXLeaveApplicationMessage(std::string_view name, std::string_view email,
                                      const std::vector<LKXLeaveLine>& leaves, bool approval_required,
                                      LKXLeaveReader reader, const LKXPanelAddresses& addresses);
std::string KXLeaveApplicationMessage(std::string_view name, std::string_view email, std::string_view type,
                                      std::string_view start, std::string_view end, std::string_view reason,
                                      bool approval_required, const LKXPanelAddresses& addresses);
// "\r\n\r\nTo: <recipient>\r\n\r\n" followed by `message`.
std::string KXGreeting(std::string_view recipient, std::string_view message);

enum class LKXLeaveDecision { kApproved, kDisapproved, kDeleted };
// The decision's text, then a "Leave Type" and "Date" block for each
// decided request, then the logon-details block.
std::string KXLeaveDecisionBody(LKXLeaveDecision decision, std::string_view name, std::string_view operator_name,
                                std::string_view operator_email, const LKXPanelAddresses& addresses,
                                const std::vector<LKXLeaveLine>& leaves = {});

std::string KXAbsenceReportBody(std::string_view name, std::string_view date, const LKXPanelAddresses& addresses);
std::string KXAbsenceToManagersBody(std::string_view recipient, std::string_view name, std::string_view email,
                                    std::string_view date, const LKXPanelAddresses& addresses);
std::string KXNoConnectionBody(std::string_view recipient, std::string_view name, std::string_view email);
std::string KXHolidayDetectedBody(std::string_view date);

// The head of the casual-staff hours report; rows and the closing CR LF
// follow.
std::string KXCasualHoursHead(bool to_hr, std::string_view recipient, std::string_view start, std::string_view end);
// "<address>\t<hh>:<mm>\r\n".
std::string KXCasualHoursRow(std::string_view email, int minutes);
