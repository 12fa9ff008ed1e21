#include "model/user_roles.h"

#include <string>

#include "model/registry_lists.h"
#include "model/registry_text.h"

namespace {

// Under the registry lock: the record id of `email` (-1 when none) and
// whether another administrator exists besides that user.
int Find(const std::string& email, bool& isAdministrator, bool& otherAdministrator) {
  int found = -1;
  isAdministrator = false;
  otherAdministrator = false;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const bool admin = user.IsAdministrator();
    if (found < 0 && KXSameName(user.GetEmail(), email)) {
      found = it.GetID();
      isAdministrator = admin;
    } else if (admin) {
      otherAdministrator = true;
    }
  }
  return found;
}

}  // namespace

LKXRoleChange KXSetAdministrator(std::string_view email, bool administrator) {
  const std::string key = KXCleanRegistryText(email);
  if (key.empty()) return LKXRoleChange::kNoSuchUser;
  LKXRegistryLock lock;
  bool isAdministrator = false;
  bool other = false;
  const int id = Find(key, isAdministrator, other);
  if (id < 0) return LKXRoleChange::kNoSuchUser;
  if (isAdministrator == administrator) return LKXRoleChange::kDone;
  if (isAdministrator && !other) return LKXRoleChange::kLastAdministrator;
  LKXUserList users = gKXUsersList;
  LKXUser user;
  if (!users.Open(id, user)) return LKXRoleChange::kNoSuchUser;
  return user.SetFlag(kKXUserAccessAdmin, administrator) ? LKXRoleChange::kDone : LKXRoleChange::kNotStored;
}

LKXRoleChange KXDeleteUserKeepingAdministrator(std::string_view email) {
  const std::string key = KXCleanRegistryText(email);
  if (key.empty()) return LKXRoleChange::kNoSuchUser;
  LKXRegistryLock lock;
  bool isAdministrator = false;
  bool other = false;
  const int id = Find(key, isAdministrator, other);
  if (id < 0) return LKXRoleChange::kNoSuchUser;
  if (isAdministrator && !other) return LKXRoleChange::kLastAdministrator;
  LKXUserList users = gKXUsersList;
  return users.Remove(id) ? LKXRoleChange::kDone : LKXRoleChange::kNotStored;
}

int KXAdministratorCount() {
  int count = 0;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) count += it.Get().IsAdministrator() ? 1 : 0;
  return count;
}
