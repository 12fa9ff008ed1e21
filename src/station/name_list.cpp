#include "station/name_list.h"

#include "model/registry_text.h"

bool LKXListHasName(std::string_view list, std::string_view name) {
  return LKXAnyListItem(list, [name](std::string_view item) { return KXSameName(item, name); });
}

bool LKXTeamsIntersect(std::string_view teamsA, std::string_view teamsB) {
  return LKXAnyListItem(teamsA, [teamsB](std::string_view team) { return LKXListHasName(teamsB, team); });
}
