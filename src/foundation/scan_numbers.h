#pragma once
// Reading decimal numbers out of texts the way the C library's "%d" and
// atoi do, without their undefined behaviour on overflow and without needing
// a terminating NUL. Stored files and web forms were written for those
// readers, so the accepted forms must stay the same.

#include <string_view>

// Reads up to `count` numbers as sscanf(text, "%d<sep>%d<sep>%d...") would:
// each number may have leading white space and a sign; the separator must
// follow immediately. Returns how many numbers were read; the remaining
// entries of `out` are left untouched. Numbers beyond the int range are
// clamped.
int LScanSeparatedInts(std::string_view text, char separator, int* out, int count);

// atoi: leading white space, optional sign, digits; 0 when there are none.
int LAtoi(std::string_view text);
