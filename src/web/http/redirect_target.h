#pragma once
// Redirect targets taken from form fields ("onok", "oncancel", "cmd") are
// page names of this server, relative to it. A value that could send the
// browser elsewhere, or break the header it goes into, is replaced by the
// page that is always safe to show.

#include <string>
#include <string_view>

// `value` when it is a relative page name; `fallback` when it is empty or
// holds a scheme ("x:" before any "/", "?" or "#"), begins with "//", "\\",
// "/\\" or "\\/", or holds a CR, LF or other control byte.
std::string LWebletSafeTarget(std::string_view value, std::string_view fallback);
