#pragma once
// Who may look at whose time: the rule every hours page (time sheet, work-hours
// report and its CSV, date calendar) applies to each user it shows, and the
// user such a page falls back to when the request names nobody it knows.
// Each handler applies the rule itself for every user it acts on, whatever
// page the request came from.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "model/user.h"

class LWebletForm;

// The viewer may see `email`'s data when the viewer is that user (letter case
// ignored), is named in that user's "Manager" list, or has "AccessAdmin" or
// "AccessHR" set.
bool KXViewerMaySee(LKXUser& viewer, std::string_view email);

// The user a page shows for `seluser`: `seluser` itself when a user has that
// address (allowed or not: the page then says it may not show it), else the
// first user in registry order whom the viewer may see. False when there is
// none; `email` is then empty.
bool KXChooseShownUser(LKXUser& viewer, std::string_view seluser, std::string& email);

// One request field copied into a session value.
struct LKXSessionCopy {
  const char* field;
  const char* sessionName;
};
// Copies each listed request field that is present and not empty into the
// session, in list order, so that of two fields feeding one name the later
// one wins. A page opened again without fields then shows the last choice.
void WLCopyFieldsToSession(LWebletForm& form, std::span<const LKXSessionCopy> copies);
inline void WLCopyFieldsToSession(LWebletForm& form, std::initializer_list<LKXSessionCopy> copies) {
  WLCopyFieldsToSession(form, std::span<const LKXSessionCopy>(copies.begin(), copies.size()));
}
// The user and the day of the pages that show one user's day: the search
// bar's "userselect"/"dateinput" and the links' "seluser"/"date".
inline constexpr LKXSessionCopy kKXUserDayFields[] = {
    {"userselect", "seluser"}, {"seluser", "seluser"}, {"dateinput", "date"}, {"date", "date"}};
// The day such a page shows: the session's "date", or, when none was chosen
// yet (the main page links without one), today, kept in the session so that
// the search bar, its arrows and its Search show that day too.
std::string WLSessionDayOrToday(LWebletForm& form);
// The part of that day they show.
inline constexpr LKXSessionCopy kKXDayTimeFields[] = {{"starttime", "starttime"}, {"endtime", "endtime"}};

// The page texts of the rule.
inline constexpr char kKXCurrentUserNotFound[] = "Current user not found!";
inline constexpr char kKXNotAuthorized[] = "You are not authorized to see this page!";
