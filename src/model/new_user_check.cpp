#include "model/new_user_check.h"

#include "model/registry_text.h"
#include "model/teams.h"
#include "model/users.h"

namespace {

bool Among(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& listed : names) {
    if (KXSameName(listed, name)) return true;
  }
  return false;
}

}  // namespace

LKXUserProblem KXCheckUserAddress(std::string_view email, LKXAddressCheck valid_address) {
  if (email.empty()) return LKXUserProblem::kNoEmail;
  if (!valid_address(email)) return LKXUserProblem::kInvalidEmail;
  return LKXUserProblem::kNone;
}

LKXUserProblem KXCheckUserName(std::string_view name) {
  return name.empty() ? LKXUserProblem::kNoName : LKXUserProblem::kNone;
}

LKXUserProblem KXCheckUserAddressFree(std::string_view email) {
  return KXUserExists(email) ? LKXUserProblem::kEmailTaken : LKXUserProblem::kNone;
}

LKXUserProblem KXCheckEnteredOnce(std::span<const std::string> emails, std::size_t index) {
  for (std::size_t i = 0; i < index; ++i) {
    if (KXSameName(emails[i], emails[index])) return LKXUserProblem::kEnteredTwice;
  }
  return LKXUserProblem::kNone;
}

LKXUserCheck KXCheckUserTeams(const std::vector<std::string>& teams, const std::vector<std::string>& kept) {
  for (const std::string& team : teams) {
    if (!KXSameName(team, kKXDefaultTeam) && !KXTeamExists(team) && !Among(kept, team)) {
      return {LKXUserProblem::kNoTeam, team};
    }
  }
  return {};
}

LKXUserCheck KXCheckUserManagers(const std::vector<std::string>& managers, std::string_view email,
                                 const std::vector<std::string>& known) {
  for (const std::string& manager : managers) {
    if (!KXUserExists(manager) && !Among(known, manager)) return {LKXUserProblem::kNoManager, manager};
    if (KXSameName(manager, email)) return {LKXUserProblem::kManagerSelf, {}};
  }
  return {};
}
