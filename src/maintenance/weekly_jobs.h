#pragma once
// The weekly run: the managers' leave-form reminders for last week, then the
// weekly mails, on `thread` (whose stop request ends it between two users;
// null outside a thread).

class LThread;

void KXWeeklyMaintenance(LThread* thread);
