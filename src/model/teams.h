#pragma once
// Teams and leave types: two lists of records holding one key, "Name".
// Names compare without regard to letter case and are cleaned as
// registry_text.h says before they are checked or stored.

#include <string>
#include <string_view>
#include <vector>

// False when the name is empty or a team of that name exists.
bool KXAddTeam(std::string_view name);
bool KXTeamExists(std::string_view name);
int KXTeamCount();
// Refuses "DefaultTeam" (in any letter case) and names of no team. Deletes
// the team's record, then moves every user whose whole "Team" value is the
// name to "DefaultTeam" (a value holding that one name, quoted or with
// blanks around it, counts as whole). Users whose "Team" lists the name
// among others keep it.
bool KXDeleteTeam(std::string_view name);
// The team names in list order.
std::vector<std::string> KXGetTeamNames();

bool KXAddLeaveType(std::string_view name);
bool KXLeaveTypeExists(std::string_view name);
int KXLeaveTypeCount();
bool KXDeleteLeaveType(std::string_view name);
std::vector<std::string> KXGetLeaveTypeNames();

// The leave types every office starts with.
inline constexpr std::string_view kKXDefaultLeaveTypes[] = {"holiday", "sick", "unpaid", "maternity", "other"};

// Run when the control window starts and when the service starts: while
// "Settings"/"InitLeaveTypes" is missing or does not begin with "0", adds the
// default leave types that do not exist yet, then sets "InitLeaveTypes" to
// "0". False when a type could not be added (the setting then stays, so the
// next start tries again).
bool KXInitDefaultLeaveTypes();
