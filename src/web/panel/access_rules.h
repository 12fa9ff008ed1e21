#pragma once
// The access rules of the URL table as checks that a handler makes before
// it writes anything. Each returns true when the handler may go on; when it
// returns false it has already answered the request.

#include <string_view>

class LWebletForm;

enum class LWebAccess {
  kAnyone,         // no session needed
  kSession,        // a valid session, else the session-expired page
  kAdministrator,  // a session of an administrator, else the notice below
  kPageRule,       // the page object checks the current user itself
  kNone,           // reached from pages that check; the handler repeats their check
  kApiToken,       // a GET with a personal API token (api_access.h); never the session cookie
};

inline constexpr char kLAdministratorOnlyText[] = "Only System Administrator can access this page.";
inline constexpr char kLAdministratorOnlyFileText[] = "Only System Administrator can download this file.";
inline constexpr char kLReturnLabel[] = "Return";

// WLValidateSession under the table's name for the rule.
bool WLRequireSession(LWebletForm& form);
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

// The check of `access`: kAnyone and kPageRule pass here (the page checks);
// kNone is not a rule of its own, so its handlers name the rule of the page
// that links to them.
bool WLCheckAccess(LWebletForm& form, LWebAccess access);
