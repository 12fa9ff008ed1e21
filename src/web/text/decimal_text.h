#pragma once
// Numbers that arrive as text (form fields, session values, Content-Length).

#include <string_view>

// Reads a decimal int the way the C library's atoi does (leading blanks, an
// optional sign, digits up to the first other byte; no digits give 0), except
// that a value beyond the range of int is held at INT_MAX or INT_MIN instead
// of being undefined: a huge Content-Length must read as huge, not wrap.
int LDecimalToInt(std::string_view text);
