#pragma once
// Web session ids: "l" (long) or "s" (short), eight random lower-case
// letters, then a decimal counter that is process-wide and starts at 1. The
// counter keeps ids unique within one run of the service; the letters keep
// them unguessable, so they come from the cryptographic generator.

#include <string>
#include <string_view>

inline constexpr std::size_t kLSessionIdLetters = 8;

// A new id; every call takes the next counter value.
std::string LWebletNewSessionId(bool longSession);

// Whether `id` may name a session file: exactly the shape that
// LWebletNewSessionId makes (so no "/", "\\", "..", nor an empty name can
// ever reach the file system), at most 259 bytes.
bool LWebletSessionIdAllowed(std::string_view id);
