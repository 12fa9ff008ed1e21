#pragma once
// The read API for payroll and calendar programs (doc/api.md), JSON over the
// panel's own HTTP server behind the token rule of web/panel/api_access.h. Each
// call shows what the page of the same data would show the token's owner:
// the hours and leave of the users the reports let him see.
//   api/v1/users              the users the caller may see
//   api/v1/hours?user=&from=&to=  minutes per day: worked, required, breaks, manual, private
//   api/v1/leave?user=&year=  the leave records of a year
//   api/v1/presence           who is connected now, in which state, since when
//   api/v1/openapi.json       the OpenAPI 3.1 description (no token needed)
// "user" left out means every user the caller may see, in registry order.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/date_time.h"
#include "model/user.h"

class LWebletForm;

void WLApiUsers(LWebletForm& form);
void WLApiHours(LWebletForm& form);
void WLApiLeave(LWebletForm& form);
void WLApiPresence(LWebletForm& form);
void WLApiOpenApi(LWebletForm& form);

// The users a call covers: `user` itself, or when empty every user `viewer`
// may see. False when the call cannot go on; its refusal (404 for an unknown
// address, 403 for one the viewer may not see) has then been sent.
bool WLApiSubjects(LWebletForm& form, LKXUser& viewer, std::string_view user, std::vector<std::string>& emails);

// The bodies, apart from the request so that the benchmarks time them.
// `from` and `to` are the first and last day at 00:00:00.
std::string KXApiHoursJson(const std::vector<std::string>& emails, LDateTime from, LDateTime to);
std::string KXApiLeaveJson(const std::vector<std::string>& emails, const std::string& year);

// The longest range of "api/v1/hours", as the hours pages allow: the last day
// at most 365 days after the first.
inline constexpr int kKXApiMaxRangeDays = 366;

// The OpenAPI document served at "api/v1/openapi.json".
extern const char kKXApiOpenApiDocument[];
