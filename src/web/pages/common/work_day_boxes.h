#pragma once
// The seven work-day boxes that the forms adding users offer (the setup
// wizard's users step and the user list import), Monday first, and the
// "WorkDays" bit of each (Sunday is bit 0).

#include <array>
#include <string_view>

inline constexpr int kKXWorkDayBoxes = 7;
inline constexpr std::array<std::string_view, kKXWorkDayBoxes> kKXWorkDayLabels = {"Mon", "Tue", "Wed", "Thu",
                                                                                  "Fri", "Sat", "Sun"};

// The bit of box `index` (0 Monday .. 6 Sunday); 0 for any other index.
constexpr int KXWorkDayBit(int index) {
  if (index < 0 || index >= kKXWorkDayBoxes) return 0;
  return index == kKXWorkDayBoxes - 1 ? 1 : 2 << index;
}
