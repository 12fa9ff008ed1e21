#pragma once
// The confirmation line of a post of the pending-requests page or the leave
// report ("2 requests approved."). KXPostLeaveChanges gives one notice for
// each row that changed nothing, so the rows that changed are the rows the
// form asked to change, counted here by the same rule, less those notices.

#include <string>
#include <vector>

#include "web/pages/leave/leave_posting.h"

// "Changes saved." for "Apply Changes"; else "<n> request(s) deleted.",
// "approved." or "disapproved.". Empty when no row changed.
std::string KXLeaveChangesText(LKXLeaveAction action, int changed);

// KXPostLeaveChanges, then the confirmation of the rows that changed is set
// for the page that shows the outcome. Returns its notices.
std::vector<std::string> WLPostLeaveChangesConfirmed(LWebletForm& form, LKXUser& actor, LKXLeaveAction action,
                                                     LKXLeavePostSource source, const std::string& reportUser);
