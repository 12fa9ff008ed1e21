#pragma once
// The lines that confirm a saved manual entry or leave application on the
// page that follows (confirmation_line.h).

#include <string>

#include "model/user.h"
#include "web/pages/common/entry_owner.h"

// "Manual entry of 01:30 on 2026-12-03 saved.", with " for <name>" before
// " saved" when entered for another user. The duration is "HH:MM", or
// "HH:MM:SS" when it has seconds.
std::string KXManualEntrySavedText(int durationSeconds, const std::string& date, const LKXEntryOwner& owner);

// The days of a leave, short: "21 Dec", "21-24 Dec", "28 Nov-3 Dec", or
// with the years when they differ, "30 Dec 2026-2 Jan 2027". Both dates are
// valid "YYYY-MM-DD" texts.
std::string KXLeaveDaysText(const std::string& from, const std::string& to);

// What became of a leave application of `user`: sent to his managers (by
// name, the address for a manager not in the registry) for approval,
// recorded without approval when "LeaveApprovalRequired" is off, or
// recorded with no manager to approve it. `own`: the user applied himself
// ("Your leave application ..."), else "The leave application of <name> ...".
std::string KXLeaveSentText(LKXUser& user, bool own, const std::string& from, const std::string& to);
