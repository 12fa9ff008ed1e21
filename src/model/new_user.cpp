#include "model/new_user.h"

#include <utility>

#include "model/random_password.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "model/users.h"

namespace {

LKXUserCheck Problem(LKXUserProblem problem, std::string item = {}) { return {problem, std::move(item)}; }

bool Among(const std::vector<std::string>& addresses, std::string_view email) {
  for (const std::string& address : addresses) {
    if (KXSameName(address, email)) return true;
  }
  return false;
}

}  // namespace

LKXUserCheck KXCheckUser(const LKXNewUser& user, bool is_new, LKXAddressCheck valid_address,
                         const std::vector<std::string>& coming) {
  if (user.email.empty()) return Problem(LKXUserProblem::kNoEmail);
  if (!valid_address(user.email)) return Problem(LKXUserProblem::kInvalidEmail);
  if (user.name.empty()) return Problem(LKXUserProblem::kNoName);
  if (is_new && KXUserExists(user.email)) return Problem(LKXUserProblem::kEmailTaken);
  for (std::string team : KXCommaListItems(user.team)) {
    team = KXCleanRegistryText(team);
    if (!KXSameName(team, kKXDefaultTeam) && !KXTeamExists(team)) return Problem(LKXUserProblem::kNoTeam, team);
  }
  for (std::string manager : KXCommaListItems(user.manager)) {
    manager = KXCleanRegistryText(manager);
    if (!KXUserExists(manager) && !Among(coming, manager)) return Problem(LKXUserProblem::kNoManager, manager);
    if (KXSameName(manager, user.email)) return Problem(LKXUserProblem::kManagerSelf);
  }
  return {};
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
