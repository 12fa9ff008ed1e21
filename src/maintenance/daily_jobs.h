#pragma once
// The pieces of the daily run (KXDailyMaintenance runs them in this
// order). Each per-user step logs a record it cannot use
// and goes on with the next user.

#include "foundation/date_time.h"

class LThread;
class LKXUser;

// Two days ago, unless that was a Saturday or a Sunday: when at least 4
// users exist and more than half of them have no activity log of that day,
// the day becomes the public holiday "Auto-detected Holiday" and the
// administrators are told (unless both hours and leave modes are off).
void KXDetectPublicHoliday(LThread* thread, LDateTime now);

// A user added 24 to 48 hours ago, or 48 to 72 hours ago, whose archive
// folder is still empty gets "NonConnectNotice24", or "NonConnectNotice48",
// set to 1 unless it was set before. False when the record is unusable.
bool KXMarkNoConnectionNotices(LKXUser& user, LDateTime now);

// A permanent user with fixed work days who neither worked nor has a leave
// form yesterday, a work day and no public holiday, gets
// "LeaveFormRemindEmail" set to yesterday's date.
void KXMarkLeaveFormReminder(LKXUser& user, LDateTime now);

// The casual-staff hours report when one is due (casual_schedule.h).
void KXSendCasualHoursIfDue(LThread* thread, LDateTime now);

// The daily run on `thread` (whose stop request ends it between two users;
// null outside a thread).
void KXDailyMaintenance(LThread* thread);
