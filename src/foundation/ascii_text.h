#pragma once
// Byte tests of protocol and form text that must not depend on the locale.

#include <string_view>

// `text` without the bytes up to 0x20 at either end.
std::string_view LTrimBlanks(std::string_view text);
// Whether `text` holds a byte below 0x20 or DEL: such a value could break
// the header or line it goes into.
bool LHasControlByte(std::string_view text);
