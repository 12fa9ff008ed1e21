#pragma once
// The access rules of the URL table. The connection applies a row's rule
// before it calls the row's handler (WLCheckAccess); the checks below are
// also there for a handler that reaches another page's handler itself. Each
// returns true when the request may go on; when it returns false it has
// already answered the request.

#include <string_view>

#include "web/http/url_table.h"

class LWebletForm;

// True when the request has a valid session. Otherwise sets the form fields
// "onok" and "oncancel" to "logon" where they are empty, writes the
// session-expired page and returns false: the handler writes nothing more.
bool WLValidateSession(LWebletForm& form);

// The text of the session-expired page between head and footer.
inline constexpr char kLSessionExpiredText[] =
    "<center>Your session is expired. Please <a href=\"logon\"><b>Click Here</b></a> to "
    "relogin.</center>";
// Writes the whole session-expired page (head without links, text, footer).
void WLWriteSessionExpiredPage(LWebletForm& form);

inline constexpr char kLAdministratorOnlyText[] = "Only System Administrator can access this page.";
inline constexpr char kLAdministratorOnlyFileText[] = "Only System Administrator can download this file.";
inline constexpr char kLReturnLabel[] = "Return";

// A valid session whose user is an administrator. Without a session: the
// session-expired page. Otherwise: the message page with
// kLAdministratorOnlyText and the button "Return" leading to "onok" (set
// to "mainpage", like "oncancel", where empty).
bool WLRequireAdministrator(LWebletForm& form);
// A page refused to this visitor: the message page with `message` and the
// button "Return", which leads to the main page (a refused visitor has no
// business on the page that linked here either).
void WLRefusePage(LWebletForm& form, std::string_view message);
// A download refused to this visitor: "403 Forbidden" with `message` as a
// plain text body.
void WLRefuseDownload(LWebletForm& form, std::string_view message);
// "204 No Content": the request asks for nothing this handler answers.
void WLSendNoContent(LWebletForm& form);

// The check of `access`. kAnyone passes; kPageRule and kApiToken pass here
// because their handlers check.
bool WLCheckAccess(LWebletForm& form, LWebAccess access);
