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

#include "web/pages/common/api_hours.h"
#include "web/pages/common/api_leave.h"
#include "web/pages/common/api_openapi.h"
#include "web/pages/common/api_presence.h"
#include "web/pages/common/api_subjects.h"
#include "web/pages/common/api_users.h"
