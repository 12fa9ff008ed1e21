#pragma once
// The one way the pending-requests page and the leave report change leave
// records: "Apply Changes", "Delete Selected Items", "Approve" and
// "Disapprove" on the posted rows. Each row's log is rewritten through the
// foundation's CSV editor (a scratch file "~" + the log's name in the same
// folder, synced, renamed over the log), keeping the rows it does not touch
// byte for byte. A row that names either half of a leave across the year end
// (or its whole range) acts on both records; each decided request is noted
// beside the user's notice flag for the mail. The caller decides which user a row names; the rule of who
// may act on that user is checked here for every row.

#include <string>
#include <vector>

class LWebletForm;
class LKXUser;

enum class LKXLeaveAction { kApply, kDelete, kApprove, kDisapprove };

// Which page posted: on the pending page only the row user's manager may
// act; on the leave report a viewer with edit rights for that user.
enum class LKXLeavePostSource { kPendingPage, kLeaveReport };

// The action of a "submit" value; false for any other value.
bool LKXLeaveActionOf(const std::string& submit, LKXLeaveAction& action);

// Applies `action` to rows 0 .. "count" - 1 of the form. `reportUser` is the
// user of every row on the leave report (ignored on the pending page, whose
// rows carry "inputuser%d"). A row's log year is "inputyear%d", else the
// form's "year", else this year. Returns one line of text for each row that
// changed nothing (no such record, no right, bad year), for the page to show.
std::vector<std::string> KXPostLeaveChanges(LWebletForm& form, LKXUser& actor, LKXLeaveAction action,
                                            LKXLeavePostSource source, const std::string& reportUser);

// The notices as page text.
void WLWriteLeaveNotices(LWebletForm& form, const std::vector<std::string>& notices);
