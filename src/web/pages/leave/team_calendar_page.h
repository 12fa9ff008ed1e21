#pragma once
// "teamcalendar": one month of the team's leave at a glance. One row per
// user the viewer may see (the leave report's rule: himself, the users he
// manages, everyone for "AccessAdmin" and "AccessHR"), one column per day;
// approved leave coloured by type, pending leave hatched, public holidays
// and each user's non-working days ("WorkDays"; Monday to Friday for
// flexible days) shaded. "month" ("YYYY-MM", default this month) and
// "team" (a team name, empty for all) choose what it shows; previous and
// next month are links, the team a pull-down. Disapproved leave is not shown.

#include <string>
#include <string_view>

class LWebletForm;

inline constexpr char kLTeamCalendarPath[] = "teamcalendar";
inline constexpr char kLTeamCalendarTitle[] = "Team Leave Calendar";
inline constexpr char kLAllTeams[] = "All teams";
inline constexpr char kLTeamCalendarNobody[] = "There is nobody to show for this team.";

// `month` when it is "YYYY-MM" with a month from 01 to 12, else the current month.
std::string LTeamCalendarMonthOr(std::string_view month);
// The month before or after "YYYY-MM" (`step` -1 or 1).
std::string LTeamCalendarStep(std::string_view month, int step);

void WLTeamCalendar(LWebletForm& form);
