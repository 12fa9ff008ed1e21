#pragma once
// The read API ("api/v1/..."): its one access rule and its answers. A call
// is let in by a personal API token sent as "Authorization: Bearer <token>"
// (model/api_token.h); the session cookie is never looked at, so a page
// that a browser opens cannot make calls in its user's name. Every answer
// is JSON, refusals included: {"status": 401, "error": "..."} and, for a
// bad or unknown parameter, "parameter" naming it.

#include <string>
#include <string_view>

#include "foundation/date_time.h"
#include "model/user.h"

class LWebletForm;

inline constexpr char kLApiPrefix[] = "api/v1/";

inline constexpr char kLApiNoToken[] =
    "An API token is needed: send it as \"Authorization: Bearer <token>\". Create one on My Details.";
inline constexpr char kLApiUnknownToken[] = "Unknown or revoked API token.";
inline constexpr char kLApiExpiredToken[] = "The API token has expired. Create a new one on My Details.";
inline constexpr char kLApiOnlyGet[] = "The API only reads: use GET.";

// A complete response with `body` as JSON.
void WLSendJson(LWebletForm& form, int status, std::string_view body);
// {"status": status, "error": message[, "parameter": parameter]}.
void WLSendApiError(LWebletForm& form, int status, std::string_view message, std::string_view parameter = {});

// The rule of the API rows: a GET with a valid token; `viewer` is then its
// owner. Otherwise the JSON refusal has been sent (405, or 401 without a
// token or with an unknown, revoked or expired one) and the result is false.
bool WLRequireApiToken(LWebletForm& form, LKXUser& viewer);

// Records the call in the access audit: the viewer, whose data
// (`subject`, or every user the viewer may see) and what was asked.
void WLAuditApiCall(LWebletForm& form, LKXUser& viewer, std::string_view subject, std::string_view what);

// `moment` as RFC 3339 in the server's local time with its offset
// ("2026-03-10T12:00:00+01:00"); empty for an unset moment.
std::string LRfc3339Time(LDateTime moment);
