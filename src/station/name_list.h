#pragma once
// The comma lists the station server reads ("Team", "Manager", popup
// recipients): items separated by commas, bytes of 32 or less before each
// item skipped, nothing else changed. Names compare without regard to ASCII
// letter case.

#include <string_view>

// Calls `visit(item)` for every item in order until it returns true; returns
// whether one did.
template <typename Visit>
bool LKXAnyListItem(std::string_view list, Visit visit) {
  std::size_t at = 0;
  while (at < list.size()) {
    while (at < list.size() && static_cast<unsigned char>(list[at]) <= 32) ++at;
    std::size_t end = list.find(',', at);
    if (end == std::string_view::npos) end = list.size();
    if (visit(list.substr(at, end - at))) return true;
    at = end + 1;
  }
  return false;
}

// Whether `name` is an item of `list` (letter case ignored).
bool LKXListHasName(std::string_view list, std::string_view name);
// Whether the two team lists share a team (letter case ignored).
bool LKXTeamsIntersect(std::string_view teamsA, std::string_view teamsB);
