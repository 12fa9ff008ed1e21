#pragma once
// Text helpers of the station simulator: the quoting of the printed lines and
// the splitting of script lines into words. The printed form is meant to be
// compared by tests and scripts, so it never depends on the terminal: every
// byte outside printable ASCII, the quote and the backslash are escaped.

#include <string>
#include <string_view>
#include <vector>

// `text` in double quotes; \" \\ for the quote and backslash, \xNN for bytes
// below 32 or above 126.
std::string KXSimQuote(std::string_view text);

// Splits a script line into words: blanks separate words, a word in double
// quotes may hold blanks, and inside quotes \" and \\ stand for the quote and
// the backslash. A line whose first word begins with '#' is a comment and
// gives no words. False (and `error` set) for an unterminated quote.
bool KXSimSplitWords(std::string_view line, std::vector<std::string>& words, std::string& error);
