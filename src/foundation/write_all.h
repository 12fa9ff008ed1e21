#pragma once
// Writes every byte to a descriptor: write() may take fewer bytes than asked
// (a signal, a full pipe), so callers that must not leave a file short loop
// through this one helper.

#include <string_view>

// False when a write fails or takes nothing (a full disk); errno tells why.
[[nodiscard]] bool LWriteAll(int fd, std::string_view bytes);
