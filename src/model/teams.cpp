#include "model/teams.h"

#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"

namespace {

constexpr std::string_view kNameKey = "Name";

// The id of the first member named `name` (already cleaned); -1 when none.
int FindNamed(const LKXRegistryList<LSettingsRecord>& list, std::string_view name) {
  if (name.empty()) return -1;
  for (LKXPlainListIterator it(list); it.Next();) {
    if (KXSameName(it.Get().GetString(kNameKey), name)) return it.GetID();
  }
  return -1;
}

// The caller holds the registry lock.
bool AddNamedLocked(const LKXRegistryList<LSettingsRecord>& list, const std::string& name) {
  if (name.empty() || FindNamed(list, name) >= 0) return false;
  LKXPlainList members = list;
  LSettingsRecord member;
  const int id = members.Add(member);
  if (id < 0) return false;
  if (member.SetString(kNameKey, std::string_view(name))) return true;
  members.Remove(id);
  return false;
}

bool AddNamed(const LKXRegistryList<LSettingsRecord>& list, std::string_view name) {
  const std::string clean = KXCleanRegistryText(name);
  LKXRegistryLock lock;
  return AddNamedLocked(list, clean);
}

// Deletes every member named `name`; false when there was none.
bool DeleteNamedLocked(const LKXRegistryList<LSettingsRecord>& list, const std::string& name) {
  LKXPlainList members = list;
  bool deleted = false;
  for (int id = FindNamed(list, name); id >= 0; id = FindNamed(list, name)) {
    if (!members.Remove(id)) break;
    deleted = true;
  }
  return deleted;
}

std::vector<std::string> Names(const LKXRegistryList<LSettingsRecord>& list) {
  std::vector<std::string> names;
  for (LKXPlainListIterator it(list); it.Next();) names.push_back(it.Get().GetString(kNameKey));
  return names;
}

// Whether a "Team" value names the one team `name` and no other: "Sales",
// " sales ", "\"Sales\"" or "Sales," do, "Sales,Support" does not.
bool IsWholeTeamValue(std::string_view team, std::string_view name) {
  const std::vector<std::string> items = KXCommaListItems(team);
  return items.size() == 1 && KXSameName(items[0], name);
}

int CountOf(const LKXRegistryList<LSettingsRecord>& list) {
  LKXPlainList members = list;
  return members.Count();
}

}  // namespace

bool KXAddTeam(std::string_view name) { return AddNamed(gKXTeamList, name); }

bool KXTeamExists(std::string_view name) { return FindNamed(gKXTeamList, KXCleanRegistryText(name)) >= 0; }

int KXTeamCount() { return CountOf(gKXTeamList); }

bool KXDeleteTeam(std::string_view name) {
  const std::string clean = KXCleanRegistryText(name);
  if (clean.empty() || KXSameName(clean, kKXDefaultTeam)) return false;
  LKXRegistryLock lock;
  if (!DeleteNamedLocked(gKXTeamList, clean)) return false;
  bool ok = true;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    if (IsWholeTeamValue(user.GetText(kKXUserTeam), clean)) {
      ok = user.SetText(kKXUserTeam, kKXDefaultTeam) && ok;
    }
  }
  return ok;
}

std::vector<std::string> KXGetTeamNames() { return Names(gKXTeamList); }

bool KXAddLeaveType(std::string_view name) { return AddNamed(gKXLeaveTypeList, name); }

bool KXLeaveTypeExists(std::string_view name) {
  return FindNamed(gKXLeaveTypeList, KXCleanRegistryText(name)) >= 0;
}

int KXLeaveTypeCount() { return CountOf(gKXLeaveTypeList); }

bool KXDeleteLeaveType(std::string_view name) {
  const std::string clean = KXCleanRegistryText(name);
  if (clean.empty()) return false;
  LKXRegistryLock lock;
  return DeleteNamedLocked(gKXLeaveTypeList, clean);
}

std::vector<std::string> KXGetLeaveTypeNames() { return Names(gKXLeaveTypeList); }

bool KXInitDefaultLeaveTypes() {
  if (!KXOrgGetBool(LKXOrg::kInitLeaveTypes)) return true;
  bool ok = true;
  {
    LKXRegistryLock lock;
    for (std::string_view type : kKXDefaultLeaveTypes) {
      const std::string name(type);
      if (FindNamed(gKXLeaveTypeList, name) < 0) ok = AddNamedLocked(gKXLeaveTypeList, name) && ok;
    }
  }
  return ok && KXOrgSetBool(LKXOrg::kInitLeaveTypes, false);
}
