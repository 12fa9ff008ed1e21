#pragma once
// Passwords the registry hands out when a user is added without one or asks
// for a new one: six lower-case letters, easy to type from an e-mail.

#include <string>

inline constexpr int kLRandomPasswordLength = 6;

// Six letters "a" to "z", each drawn from the operating system's
// cryptographically strong generator with every letter equally likely. The
// passwords log on to the control panel, so they must not be guessable from
// the time they were made. False (and `out` empty) when the generator fails.
[[nodiscard]] bool LGenRandomPassword(std::string& out);
