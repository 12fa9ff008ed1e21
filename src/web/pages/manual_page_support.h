#pragma once
// Small pieces shared by the manual hours list, the manual entry dialog and
// the unexplained-absence report: strict date and clock parsing of what a
// form posted, the copying of posted fields into the session, and who may
// see whose hours.

#include <span>
#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "model/user.h"

class LWebletForm;

// One row of a handler's copying table: the request field `from` goes into
// the session value `to` when it is present and not empty. Rows are applied
// in order, so of two fields feeding one value the later one wins.
struct LKXSessionCopy {
  const char* from;
  const char* to;
};
void KXCopyParamsToSession(LWebletForm& form, std::span<const LKXSessionCopy> table);

// "YYYY-MM-DD" naming a real calendar day (no 31 April), at `time` local.
// False for anything else, the empty text included.
[[nodiscard]] bool KXParseDay(std::string_view text, const char* time, LDateTime& out);
// "HH:MM:SS" with the hour 0..24 (24 only as 24:00:00, the end of a day),
// minutes and seconds 0..59: the seconds since midnight.
[[nodiscard]] bool KXParseClock(std::string_view text, int& seconds);
// Seconds as "HH:MM:SS" (86400 shows as 24:00:00).
std::string KXClockText(int seconds);

// Whether `viewer` may see the hours of the user `email`: the viewer is that
// user (letter case ignored), one of the user's managers, an administrator or
// has HR access.
bool KXMayViewUserHours(LKXUser& viewer, std::string_view email);

// The user a page shows: the one `requested` names when there is one,
// otherwise the first in registry order whom `viewer` may view. False when
// there is none.
bool KXChooseShownUser(LKXUser& viewer, std::string_view requested, LKXUser& shown);

// Page texts shared by these pages.
inline constexpr char kKXCurrentUserNotFound[] = "Current user not found!";
inline constexpr char kKXNotAuthorized[] = "You are not authorized to see this page!";
inline constexpr char kKXStartAfterEnd[] =
    "<div><font color=#a00000>Start date can not be after end date!</font></div>";
inline constexpr char kKXRangeOverYear[] =
    "<div><font color=#a00000>Date search range can not be longer a year!</font></div>";
inline constexpr char kKXBadDates[] =
    "<div><font color=#a00000>Please enter valid dates in the format YYYY-MM-DD.</font></div>";
