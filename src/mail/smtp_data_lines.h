#pragma once
// The message as it travels after DATA: lines longer than the limit are
// broken and every line that begins with a full stop gets a second one, so
// that no line of the message can end the data early.

#include <cstddef>
#include <string>
#include <string_view>

// The longest line sent as it is.
inline constexpr std::size_t kLSMTPMaxLine = 700;

// Lines are the text up to each CR LF. A line of up to 700 characters goes
// out with its CR LF. A longer one is broken after the last space among its
// characters 1 to 699 (counting from 0), or after 700 characters when there
// is none, and the rest is treated the same way. Every transmitted line
// that begins with "." gets another "." in front. A last line without
// CR LF goes out without one.
std::string LSMTPDataLines(std::string_view message);
