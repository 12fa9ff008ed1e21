#pragma once
// "leavecalendar.ics": the approved leave of the users a viewer may see, as
// an iCalendar (RFC 5545) feed that office calendar programs subscribe to.
// One all-day VEVENT per approved record of last year, this year and next
// year; DTEND is the day after the last day (the end is exclusive) and the
// UID is made of the user's folder name and the record's dates, so it stays
// the same however often the feed is read.
//
// A logged-on browser gets the feed of its session's user. Calendar programs
// have no session, so a user can create a personal address on his leave
// report, "leavecalendar.ics?token=<secret>", whose 32 hex digits come from
// OpenSSL's CSPRNG and are kept in the user record ("LeaveCalendarToken").
// The address shows what its owner may see; revoking or replacing the token
// ends it at once. Without a valid session or token the answer is 403.

#include <cstddef>
#include <string>
#include <string_view>

class LWebletForm;
class LKXUser;

inline constexpr char kLLeaveCalendarPath[] = "leavecalendar.ics";
// Random bytes of a token; it is written as twice as many hex digits.
inline constexpr int kLLeaveCalendarTokenBytes = 16;
// Longest line of the feed in octets, line end not counted.
inline constexpr std::size_t kLICalendarLineOctets = 75;

// The user's current token, empty for none.
std::string KXLeaveCalendarToken(LKXUser& user);
// A new random token replaces any old one; false when the generator or the
// record write failed (the old token is then kept).
[[nodiscard]] bool KXCreateLeaveCalendarToken(LKXUser& user);
void KXRevokeLeaveCalendarToken(LKXUser& user);

// The whole address of the token's feed as the browser of this request
// reached the server: "http://" + the request's Host header (host and port)
// + "/leavecalendar.ics?token=" + token. A Host header that is not a plain
// host name or address with an optional port gives way to the panel's
// local-network address and port.
std::string KXLeaveCalendarAddress(const LWebletForm& form, const std::string& token);

// `text` as an RFC 5545 TEXT value: backslash, semicolon and comma escaped,
// a line break as "\n", other control bytes dropped.
std::string LICalendarText(std::string_view text);
// One content line folded to lines of at most 75 octets (a continuation
// starts with a space; UTF-8 sequences are not split), each ending in CR LF.
std::string LICalendarFold(std::string_view line);

void WLLeaveCalendar(LWebletForm& form);
