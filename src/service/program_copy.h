#pragma once
// Putting a new program in place of the installed service executable.

#include <string>

// Copies `from` to `to` through a new file renamed over it (mode 0700 until
// the caller sets the mode).
[[nodiscard]] bool LServiceCopyProgram(const std::string& from, const std::string& to);
