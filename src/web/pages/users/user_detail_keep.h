#pragma once
// The user-details form kept in the session while the team or manager
// picker is open: one "fd..." value per control (check boxes as "true" or
// "false", radio groups as the chosen id, the work days as their bit sum),
// plus "fdseluser", the user the form was for, so that values left behind
// by a picker that was never closed are not shown for another user.

#include <string_view>

class LWebletForm;
class LWebDialog;

// Copies the posted form into the session.
void KXKeepDetailForm(LWebletForm& form);
// Takes every kept value out of the session; when `returning` from a picker
// and they were kept for `selected` (the session's "seluser"), puts them
// into the dialog's controls and returns true. Values left behind by a
// picker that was left some other way are dropped, never shown as if stored.
bool KXRestoreDetailForm(LWebDialog& dialog, std::string_view selected, bool returning);
