#include "model/new_user.h"

#include <utility>

#include "model/random_password.h"
#include "model/registry_text.h"
#include "model/users.h"

LKXUserCheck KXCheckUser(const LKXNewUser& user, bool is_new, LKXAddressCheck valid_address,
                         const std::vector<std::string>& coming) {
  LKXUserProblem problem = KXCheckUserAddress(user.email, valid_address);
  if (problem == LKXUserProblem::kNone) problem = KXCheckUserName(user.name);
  if (problem == LKXUserProblem::kNone && is_new) problem = KXCheckUserAddressFree(user.email);
  if (problem != LKXUserProblem::kNone) return {problem, {}};
  std::vector<std::string> teams = KXCommaListItems(user.team);
  for (std::string& team : teams) team = KXCleanRegistryText(team);
  std::vector<std::string> managers = KXCommaListItems(user.manager);
  for (std::string& manager : managers) manager = KXCleanRegistryText(manager);
  LKXUserCheck check = KXCheckUserTeams(teams);
  if (check.problem == LKXUserProblem::kNone) check = KXCheckUserManagers(managers, user.email, coming);
  return check;
}

bool KXCreateUser(const LKXNewUser& wanted) {
  std::string password = wanted.password;
  const bool mailed = password.empty();
  // The record holds an unguessable password from the start.
  if (mailed && !LGenRandomPassword(password)) return false;
  if (!KXAddUser(wanted.email, wanted.name, wanted.admin, wanted.accountant, wanted.team, wanted.manager,
                 password)) {
    return false;
  }
  LKXUser user;
  if (!KXGetUser(wanted.email, user)) return false;
  bool ok = user.SetNumber(kKXUserWorkDays, wanted.workDays & 0x7f);
  ok = user.SetNumber(kKXUserWorkType, wanted.workType) && ok;
  ok = user.SetNumber(kKXUserWorkHours, wanted.workHours) && ok;
  if (mailed) ok = user.SetFlag(kKXUserPasswordReq, true) && ok;
  return ok;
}
