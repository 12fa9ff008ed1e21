#pragma once
// The weekly mails on the week from `start` (Monday) to `end` (Sunday):
//   - the weekly staff report, one to every manager about the people he
//     manages (hours, the top five applications, work days without work or
//     leave, permanent staff short of their hours), with the sections the
//     "Company" settings switch on;
//   - the insufficient-hours warnings to permanent staff short by more than
//     "InsufficientHoursWarningTolerance" percent, with copies to their
//     managers and HR;
//   - the private-programs warnings to users who worked in programs listed
//     in "PrivatePrograms", with copies to their managers when
//     "PrivateProgramsWarningEmailToManager" is on.
// None keeps a flag: a mail that cannot be delivered is logged by SendEmail
// and not tried again. Each finished mail goes to `sink`; the operations
// without one deliver through SendEmail. `week` holds each person's figures
// so that the three mails read a person's logs once between them.

#include "foundation/date_time.h"
#include "maintenance/mail_sink.h"
#include "maintenance/staff_week.h"

class LThread;

void KXComposeWeeklyReports(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink);
void KXComposeInsufficientHoursWarnings(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink);
void KXComposePrivateProgramsWarnings(LThread* thread, LKXStaffWeek& week, const LKXMailSink& sink);

void SendWeeklyReportToManagers(LThread* thread, LDateTime start, LDateTime end);
void SendInsufficientHoursWarningEmail(LThread* thread, LDateTime start, LDateTime end);
void SendPrivateProgramsWarningEmail(LThread* thread, LDateTime start, LDateTime end);
