#pragma once
// Values that a page script carries as string constants. Session values
// come from what users typed, so every byte that could end the string or the
// script element is written as a \xNN escape.

#include <string>
#include <string_view>

// `text` as a single-quoted JavaScript string literal, quotes included.
std::string LJavaScriptString(std::string_view text);
