#include "maintenance/notification_texts.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Text(std::string_view text) { return std::string(text); }

}  // namespace

std::string KXFormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
  va_end(again);
  return out;
}

std::string KXLogonDetailsBlock(const LKXPanelAddresses& a) {
  return KXFormatText("    http://%s:%d/ (local network)\r\n    http://%s:%d/ (over the Internet)\r\n",
                      a.private_address.c_str(), a.local_port, a.public_address.c_str(), a.public_port);
}

std::string KXWelcomeBody(std::string_view name) {
  return KXFormatText(
      "\r\n\r\nTo: %s\r\n\r\nThank you for installing KavrixServer.\r\n\r\nThis email is just a test to ensure "
      "KavrixServer can send you email. You can delete it now.\r\nPlease select \"Yes, I received the welcome "
      "email\" option in the wizard and complete the remaining steps.\r\n\r\n",
      Text(name).c_str());
}

std::string KXLogonDetailsBody(const LKXLogonDetails& d, const LKXPanelAddresses& a) {
  std::string out = KXFormatText(
      "\r\nTo: %s\r\n\r\nYou have been issued new logon details for the KavrixServer system. If you have any "
      "doubts about this setup, please contact the KavrixServer administrator: %s (Email: %s).\r\n\r\n- How to "
      "connect KavrixServer\r\n\r\n  ~ Install KavrixStation client. You can download KavrixStation program from "
      "KavrixServer web site after you logon, or directly click on one of the following links.\r\n"
      "    http://%s:%d/kxtasetup.exe (local network)\r\n    http://%s:%d/kxtasetup.exe (over the Internet)\r\n"
      "\r\n  ~ After installation, enter the logon details below and click Ok.\r\n"
      "    KavrixServer: %s:%d (on the local network)\r\n    KavrixServer: %s:%d (over the Internet)\r\n"
      "    Email: %s\r\n    Password: %s\r\n\r\n\r\n- How to logon KavrixServer website\r\n\r\n  ~ Option 1: "
      "Click on one of the following links and enter your logon email address and password.\r\n",
      d.name.c_str(), d.admin_name.c_str(), d.admin_email.c_str(), a.private_address.c_str(), a.local_port,
      a.public_address.c_str(), a.public_port, a.private_address.c_str(), a.local_port,
      a.public_address.c_str(), a.public_port, d.email.c_str(), d.password.c_str());
  out += KXLogonDetailsBlock(a);
  out += "\r\n  ~ Option 2: Directly click [Web] button on the toolbar of KavrixStation after you connected to the "
         "server.\r\n\r\n\r\n";
  if (d.mode_hours) {
    out += "Your work hours will be automatically calculated based on the time you are logged into your PC (but "
           "not in Private mode). If for any reason you are at work but not at your PC (eg. in a meeting) you "
           "must enter a manual hours entry. Do this using the item on the tool bar of the KavrixStation "
           "program.\r\n\r\n";
  }
  if (d.mode_leave) {
    out += "KavrixServer also maintains your holiday leave record. If you need to take sick or holiday leave "
           "please fill in the form from the KavrixStation program as soon as possible. Failure to fill in a "
           "form will result in a unexplained absence report being generated.\r\n\r\n";
  }
  out += "- Privacy Notice\r\n\r\n  ~ KavrixStation will monitor your activities on the computer and send this "
         "data to KavrixServer. This can be disactivited by selecting the Private mode (but no hours will be "
         "logged while you are in Private mode).\r\n  ~ Logons, passwords, and the actual text typed by the user "
         "are NOT recorded by KavrixStation. However, applications and documents used, the time spent in each, "
         "and the level of general activity (i.e. number of mouse clicks and keystrokes) are logged.\r\n  ~ The "
         "manager whom you are assigned to can view your work hours, screen shots and your application usage "
         "statistics.\r\n  ~ Your manager can also view your real-time screen when you are online (unless you "
         "are on Private mode or this function is disabled by your system administrator.\r\n  ~ Your team "
         "members can see your online status, location and the application name and title you are currently "
         "working on.\r\n\r\n\r\n";
  return out;
}

std::string KXLeaveApplicationMessage(std::string_view name, std::string_view email,
                                      const std::vector<LKXLeaveLine>& leaves, bool approval_required,
                                      LKXLeaveReader reader, const LKXPanelAddresses& addresses) {
  const char* note = reader == LKXLeaveReader::kHROnly
                         ? "For your information: the user's manager approves or disapproves it. You can view it "
                           "on the user's leave report on KavrixServer web page."
                     : approval_required
                         ? "Please logon to KavrixServer web page to approve/disapprove it."
                         : "You can logon to KavrixServer web page to approve/disapprove(delete) it. If you do "
                           "not do anything the application will be assumed being approved by default.";
  std::string out = KXFormatText("User %s (%s) has submitted a leave application:\r\n\r\n", Text(name).c_str(),
                                 Text(email).c_str());
  for (const LKXLeaveLine& leave : leaves) {
    out += KXFormatText("Leave Type: %s\r\nDate: %s ~ %s\r\nReason: %s\r\n\r\n", leave.type.c_str(),
                        leave.start.c_str(), leave.end.c_str(), leave.reason.c_str());
  }
  return out + note + "\r\n" + KXLogonDetailsBlock(addresses);
}

std::string KXLeaveApplicationMessage(std::string_view name, std::string_view email, std::string_view type,
                                      std::string_view start, std::string_view end, std::string_view reason,
                                      bool approval_required, const LKXPanelAddresses& addresses) {
  return KXLeaveApplicationMessage(name, email, {{Text(type), Text(start), Text(end), Text(reason)}},
                                   approval_required, LKXLeaveReader::kApprover, addresses);
}

std::string KXGreeting(std::string_view recipient, std::string_view message) {
  return "\r\n\r\nTo: " + Text(recipient) + "\r\n\r\n" + Text(message);
}

std::string KXLeaveDecisionBody(LKXLeaveDecision decision, std::string_view name, std::string_view operator_name,
                                std::string_view operator_email, const LKXPanelAddresses& addresses,
                                const std::vector<LKXLeaveLine>& leaves) {
  const char* format = nullptr;
  switch (decision) {
    case LKXLeaveDecision::kApproved:
      format = "\r\n\r\nTo: %s\r\n\r\nYour newly submitted leave application has been approved by %s (%s)\r\n"
               "Please logon KavrixServer web page if you need to view your leave report.\r\n\r\n";
      break;
    case LKXLeaveDecision::kDisapproved:
      format = "\r\n\r\nTo: %s\r\n\r\nYour newly submitted leave application is disapproved by %s (%s). Please "
               "speak to them for reasons\r\nPlease logon KavrixServer web page to view your leave report."
               "\r\n\r\n";
      break;
    case LKXLeaveDecision::kDeleted:
      format = "\r\n\r\nTo: %s\r\n\r\nYour leave entry was deleted by %s (%s). Please speak to them for "
               "reasons\r\nPlease logon KavrixServer web page to view your leave report.\r\n\r\n";
      break;
  }
  std::string out;
  // The three formats share their placeholders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  out = KXFormatText(format, Text(name).c_str(), Text(operator_name).c_str(), Text(operator_email).c_str());
#pragma GCC diagnostic pop
  for (const LKXLeaveLine& leave : leaves) {
    out += KXFormatText("Leave Type: %s\r\nDate: %s ~ %s\r\n\r\n", leave.type.c_str(), leave.start.c_str(),
                        leave.end.c_str());
  }
  return out + KXLogonDetailsBlock(addresses);
}

std::string KXAbsenceReportBody(std::string_view name, std::string_view date, const LKXPanelAddresses& addresses) {
  return KXFormatText(
             "\r\n\r\nTo: %s\r\n\r\nKavrixServer did not track any work done by you on %s. You have not made a "
             "leave entry for that day.\r\n\r\nPlease logon to KavrixServer and enter either a holiday or sick "
             "leave entry. If you were in fact at work please enter a manual time sheet entry for that day. If you "
             "fail to do something your manager will be notified.\r\n\r\n",
             Text(name).c_str(), Text(date).c_str()) +
         KXLogonDetailsBlock(addresses);
}

std::string KXAbsenceToManagersBody(std::string_view recipient, std::string_view name, std::string_view email,
                                    std::string_view date, const LKXPanelAddresses& addresses) {
  return KXFormatText(
             "\r\n\r\nTo: %s\r\n\r\nUser %s (%s) did not work on %s and has not filled out a leave form yet."
             "\r\n\r\nPlease logon to KavrixServer and check the days %s worked last week.\r\n\r\n",
             Text(recipient).c_str(), Text(name).c_str(), Text(email).c_str(), Text(date).c_str(),
             Text(name).c_str()) +
         KXLogonDetailsBlock(addresses);
}

std::string KXNoConnectionBody(std::string_view recipient, std::string_view name, std::string_view email) {
  return KXFormatText(
      "\r\n\r\nTo: %s\r\n\r\nUser %s (%s) hasn't connected to KavrixServer for over 48 hours after registered."
      "\r\n\r\n",
      Text(recipient).c_str(), Text(name).c_str(), Text(email).c_str());
}

std::string KXHolidayDetectedBody(std::string_view date) {
  return KXFormatText(
      "A new public holiday has been detected and added to KavrixServer (Date: %s).\r\n\r\nIf you do not "
      "approve this day as a public holiday, please go to KavrixServer web page and delete it. Please take this "
      "seriously because incorrect public holidays cause serious errors in leave reports.\r\n\r\n",
      Text(date).c_str());
}

std::string KXCasualHoursHead(bool to_hr, std::string_view recipient, std::string_view start, std::string_view end) {
  return KXFormatText(to_hr ? "To: %s\r\n\r\nHere is the casual employees work hours report for the period of %s "
                              "to %s\r\n\r\nName\tWorked Hours\r\n\r\n"
                            : "To: %s\r\n\r\nHere is the casual staff work hours report for the period of %s to "
                              "%s\r\n\r\nName\tWorked Hours\r\n\r\n",
                      Text(recipient).c_str(), Text(start).c_str(), Text(end).c_str());
}

std::string KXCasualHoursRow(std::string_view email, int minutes) {
  return KXFormatText("%s\t%.2d:%.2d\r\n", Text(email).c_str(), minutes / 60, minutes % 60);
}
