#include "model/users.h"

#include <array>

#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"

namespace {

// The first record with the address (already cleaned); -1 when none.
int FindUserId(std::string_view email, LKXUser* user) {
  if (email.empty()) return -1;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (KXSameName(it.Get().GetEmail(), email)) {
      if (user != nullptr) *user = it.Get();
      return it.GetID();
    }
  }
  return -1;
}

// The address of the last administrator in list order, as a list item.
std::string LastAdministrator() {
  std::string found;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (it.Get().IsAdministrator()) found = it.Get().GetEmail();
  }
  return KXCommaListItem(found);
}

void Put(LSettingsEntries& entries, const LKXUserKey& key, std::string_view value) {
  entries.Set(LSettingsLowerCase(key.name), LSettingsCleanValue(value));
}

// Writes the keys of a new user, in their order, into its empty record.
bool WriteNewUser(LKXUser& user, const std::string& email, std::string_view name, bool is_admin,
                  bool is_accountant, const std::string& team, const std::string& manager,
                  std::string_view password) {
  const LDateTime now = LDateTime::Now();
  const std::string started = now.GetDateText() + " " + now.GetTimeText();
  return user.Modify([&](LSettingsEntries& entries) {
    Put(entries, kKXUserEmail, email);
    Put(entries, kKXUserName, name);
    Put(entries, kKXUserAccessAdmin, is_admin ? "1" : "0");
    Put(entries, kKXUserAccessHR, is_accountant ? "1" : "0");
    Put(entries, kKXUserTeam, team);
    Put(entries, kKXUserManager, manager);
    if (!password.empty()) {
      Put(entries, kKXUserPassword, password);
    } else {
      Put(entries, kKXUserPasswordReq, "1");  // the maintenance thread mails the log-on details
    }
    Put(entries, kKXUserEmpStartDate, started);
    return true;
  });
}

// Replaces `old_email` by `new_email` in one user's manager list and
// operator keys; true when the record was written or nothing changed.
bool RenameInRecord(LKXUser& user, const std::string& old_email, const std::string& new_email) {
  static constexpr std::array<const LKXUserKey*, 3> kOperators = {
      &kKXUserLeaveApproveOperator, &kKXUserLeaveDisapproveOperator, &kKXUserLeaveDeletedOperator};
  bool ok = true;
  for (const LKXUserKey* key : kOperators) {
    if (KXSameName(KXCleanRegistryText(user.GetText(*key)), old_email)) ok = user.SetText(*key, new_email) && ok;
  }
  const std::string managers = user.GetText(kKXUserManager);
  if (!KXCommaListContains(managers, old_email)) return ok;
  std::vector<std::string> items = KXCommaListItems(managers);
  for (std::string& item : items) {
    if (KXSameName(item, old_email)) item = new_email;
  }
  return user.SetText(kKXUserManager, KXJoinCommaList(items)) && ok;
}

}  // namespace

bool KXAddUser(std::string_view email, std::string_view name, bool is_admin, bool is_accountant,
               std::string_view team, std::string_view manager, std::string_view password) {
  const std::string key = KXCleanRegistryText(email);
  if (key.empty()) return false;
  LKXRegistryLock lock;
  if (FindUserId(key, nullptr) >= 0) return false;
  std::string teams = KXCleanRegistryText(team);
  if (teams.empty()) teams = kKXDefaultTeam;
  std::string managers = KXCleanRegistryText(manager);
  if (managers.empty()) managers = LastAdministrator();

  LKXUserList users = gKXUsersList;
  LKXUser user;
  const int id = users.Add(user);
  if (id < 0) return false;
  if (WriteNewUser(user, key, KXCleanRegistryText(name), is_admin, is_accountant, teams, managers, password)) {
    return true;
  }
  users.Remove(id);  // a half-made user must not keep the address
  return false;
}

bool KXUserExists(std::string_view email) { return FindUserId(KXCleanRegistryText(email), nullptr) >= 0; }

bool KXGetUser(std::string_view email, LKXUser& user) {
  return FindUserId(KXCleanRegistryText(email), &user) >= 0;
}

bool KXDeleteUser(std::string_view email) {
  const std::string key = KXCleanRegistryText(email);
  LKXRegistryLock lock;
  const int id = FindUserId(key, nullptr);
  if (id < 0) return false;
  LKXUserList users = gKXUsersList;
  return users.Remove(id);
}

bool KXChangeUserEmail(std::string_view old_email, std::string_view new_email) {
  const std::string old_key = KXCleanRegistryText(old_email);
  const std::string new_key = KXCleanRegistryText(new_email);
  if (old_key.empty() || new_key.empty()) return false;
  LKXRegistryLock lock;
  LKXUser user;
  if (FindUserId(old_key, &user) < 0) return false;
  // A change of letter case only is allowed; any other taken address is not.
  if (!KXSameName(old_key, new_key) && FindUserId(new_key, nullptr) >= 0) return false;
  if (!user.SetText(kKXUserEmail, new_key)) return false;
  bool ok = true;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) ok = RenameInRecord(it.Get(), old_key, new_key) && ok;
  return ok;
}

bool KXClearAllConnectedFlags() {
  // Under the lock, so that no record deleted meanwhile is written back.
  LKXRegistryLock lock;
  bool ok = true;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) ok = it.Get().SetFlag(kKXUserConnected, false) && ok;
  return ok;
}

int KXUserCount() {
  LKXUserList users = gKXUsersList;
  return users.Count();
}

bool KXIsManager(LKXUser& user) {
  const std::string email = user.GetEmail();
  if (email.empty()) return false;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (KXCommaListContains(it.Get().GetText(kKXUserManager), email)) return true;
  }
  return false;
}

bool KXIsManagerOf(LKXUser& manager, std::string_view email) {
  const std::string mine = manager.GetEmail();
  if (mine.empty()) return false;
  LKXUser other;
  if (!KXGetUser(email, other)) return false;
  return KXCommaListContains(other.GetText(kKXUserManager), mine);
}
