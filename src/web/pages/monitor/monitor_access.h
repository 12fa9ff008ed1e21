#pragma once
// Who may look at whose monitoring data (activity logs, screenshots,
// application usage), shared by the pages and by the downloads behind them.
// The downloads apply the same rule as the pages: a picture's address alone
// must not show anyone's screen to a viewer the page would have refused.

#include <string>
#include <string_view>

#include "model/user.h"

class LWebletForm;

// The user a monitoring page shows: the viewer must be logged on, then
// `seluser` or the first user the viewer may see is chosen and the access
// rule applied. On refusal the page's text is written (`refusal` when the
// viewer may not see the chosen user) and the result is false.
bool KXMonitorPageUser(LWebletForm& form, LKXUser& viewer, std::string_view seluser, const char* refusal,
                       std::string& email);

// For the downloads, which write nothing of their own on refusal: screen
// monitoring is switched on ("ModeQA"), the viewer is logged on, `seluser`
// names a registered user and the viewer may see that user.
bool KXMonitorDownloadAllowed(LWebletForm& form, std::string_view seluser, LKXUser& viewer, LKXUser& subject);

// Whether the system keeps this user's screenshots / activity at all: a
// "Monitor" user's station records nothing, and "LogScreenShot" or
// "LogActivity" switched off stop the recording; what may still lie on disk
// from before is not handed out either.
bool KXScreenshotsKept(LKXUser& subject);
bool KXActivityKept(LKXUser& subject);

// The client address that the access audit records for this request.
const std::string& WLAuditClient(LWebletForm& form);

// The answer to every refused or missing download: the plain 404, the same
// whatever the reason.
void WLSendNotFound(LWebletForm& form);

inline constexpr char kKXActivityNotManager[] =
    "Only the manager of this user can view this user's activity log. If you are meant to be the manager, please "
    "ask the KavrixServer administrator to list you as a manager.";
inline constexpr char kKXScreensNotManager[] =
    "Only the manager of this user can view this user's screenshots. If you are meant to be the manager, please "
    "ask the KavrixServer administrator to list you as a manager.";
inline constexpr char kKXAppUsageNotManager[] =
    "Only the manager of this user can view this user's application usage. If you are meant to be the manager, "
    "please ask the KavrixServer administrator to list you as a manager.";
inline constexpr char kKXTimeNotValid[] =
    "<div><font color=#a00000>Please enter a valid time. The format must be HH:MM:SS.</font></div>";

// A time of day of a monitoring page: "HH:MM:SS" within the day, or
// "24:00:00" for the day's end. False for anything else.
bool KXReadDayTime(std::string_view text, std::int32_t& seconds);
