#pragma once
// The one-line confirmation that a change was saved ("Your password was
// changed."). The handler that saved it puts the line into the session; the
// next page the panel frames takes it out and shows it at the top, once. It
// never travels in a URL, so a link cannot make the panel claim a save.

#include <string_view>

class LWebletForm;

// The session value that carries the line to the next page.
inline constexpr char kLConfirmationKey[] = "confirmation";

// Replaces any line still waiting.
void WLSetConfirmation(LWebletForm& form, std::string_view text);
// Writes the waiting line, HTML-escaped, in the style "kxconfirm" and
// removes it from the session; writes nothing when none waits.
void WLWriteConfirmation(LWebletForm& form);
