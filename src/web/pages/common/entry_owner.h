#pragma once
// Whose log a data-entry dialog (manual hours, leave form) writes: the
// logged-on user's own, or, when the request names another user in
// "seluser", that user's, provided the viewer may change his entries (his
// manager, HR or an administrator: the rule of the edits on the manual
// hours list and the leave report). The dialog then names the user in its
// title and carries him in a hidden "seluser" field; every request of the
// dialog, its OK included, is checked again, since the field is the
// browser's to change.

#include <string>
#include <string_view>

class LWebletForm;

struct LKXEntryOwner {
  std::string email;        // the user whose log is written; empty without a logged-on user
  std::string name;
  std::string viewerEmail;  // who enters it
  bool other = false;       // the owner is not the viewer
};

// The owner for the request field `seluser` (empty, or the viewer's own
// address: the viewer). False when it names a user the viewer may not enter
// for, or nobody known: the request has then been answered with the panel's
// message page showing `refusal`, and the dialog writes nothing.
bool WLChooseEntryOwner(LWebletForm& form, std::string_view seluser, std::string_view refusal,
                        LKXEntryOwner& owner);

// "<title> for <name>" when entering for another user, else `title`.
std::string KXEntryOwnerTitle(std::string_view title, const LKXEntryOwner& owner);

// The log line's note of who entered an entry for another user
// (" (entered by <viewer>)"), empty for the user's own.
std::string KXEnteredByNote(const LKXEntryOwner& owner);
