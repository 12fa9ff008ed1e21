#pragma once
// Text that users typed (names, notes, captions) goes into pages through this
// encoder, so that it can neither break the markup nor inject any.

#include <string>
#include <string_view>

#include "web/text/format_writer.h"

// "&", "<", ">" and the double quote become entities; other bytes, 128-255
// included, are copied. A run of CR and LF bytes becomes markup where the run
// ends: counting only the bytes equal to the run's first byte (so CR LF counts
// once, CR LF CR LF twice), one gives "<br>", two give "<p>", and n above two
// give "<br>" n - 2 times and then "<p>".
void LHTMLEncodeToWriter(LFormatWriter& writer, std::string_view text);

std::string LHTMLEncode(std::string_view text);
