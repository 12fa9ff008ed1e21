#pragma once
// Where a dialog sends the browser after OK or Cancel. The targets come from
// the form fields "onok" and "oncancel" and from the "Referer" header, all of
// which the browser (or a hostile page) controls, so only targets on this
// server are followed.

#include <string>
#include <string_view>

class LWebletForm;

// The page a dialog goes to when nothing else is named.
inline constexpr char kLDialogFallbackTarget[] = "mainpage";

// `value` when it names a page of this server: a relative page name
// (LWebletSafeTarget), or an absolute "http://" or "https://" URL whose host
// equals the request's "Host" header (what browsers send as Referer).
// Otherwise empty.
std::string LDialogTarget(const LWebletForm& form, std::string_view value);

// The "Referer" header when it is a target of this server, else empty.
std::string LDialogReferer(const LWebletForm& form);
