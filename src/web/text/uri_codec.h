#pragma once
// Percent-encoding of form fields, query strings, cookies and session files.

#include <cstddef>
#include <string>
#include <string_view>

#include "web/text/format_writer.h"

// Copies a byte when it is above 32 and below 128 and not one of
// "%:/?#[]@!$&'()*+,;="; writes every other byte as "%" and two upper-case
// hexadecimal digits.
void LURIEncodeToWriterDirect(LFormatWriter& writer, std::string_view text);

// Decodes until the end of `text`, a NUL byte or any byte of `stopChars`
// (may be null): "+" becomes a space, "%" and two hexadecimal digits become
// that byte. A digit that is not hexadecimal counts as 0, a decoded 0 byte is
// dropped, and a "%" with fewer than two bytes after it ends the decoding (the
// rest of the text is taken as consumed). Returns the number of input bytes
// consumed, so that the caller can continue behind the stop character.
std::size_t LURIDecodeToWriterDirect(LFormatWriter& writer, std::string_view text,
                                     const char* stopChars);

// Convenience forms of the two above.
std::string LURIEncode(std::string_view text);
std::string LURIDecode(std::string_view text);

// A value for a query string inside a double-quoted href or src attribute:
// LURIEncode, and also the quote, the angle brackets and the back quote, which
// LURIEncode keeps (they are not URI delimiters) but which would end the
// attribute or open a tag. Every page builds its link values with this.
void LHrefValueToWriter(LFormatWriter& writer, std::string_view text);
std::string LHrefValue(std::string_view text);
