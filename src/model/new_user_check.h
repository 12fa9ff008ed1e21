#pragma once
// What makes the fields of a new (or changed) user valid. Every form that
// adds users asks some of these checks and words the problems its own way:
// the add-user page and the imports ask all of them, the setup wizard's
// steps only the address and the name. Each check is offered alone for the
// forms that ask them in their own order or between checks of their own.

#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class LKXUserProblem {
  kNone,
  kNoEmail,
  kInvalidEmail,
  kNoName,
  kEmailTaken,
  kEnteredTwice,  // the address of an earlier row of the same list
  kNoTeam,        // `item` names the team
  kNoManager,     // `item` names the manager
  kManagerSelf,
};

struct LKXUserCheck {
  LKXUserProblem problem = LKXUserProblem::kNone;
  std::string item;
};

// The e-mail layer's address check, handed down (it lives above this layer).
using LKXAddressCheck = bool (*)(std::string_view address);

// kNoEmail, kInvalidEmail (refused by `valid_address`) or kNone.
LKXUserProblem KXCheckUserAddress(std::string_view email, LKXAddressCheck valid_address);
// kNoName or kNone.
LKXUserProblem KXCheckUserName(std::string_view name);
// kEmailTaken when `email` is already a user's, or kNone.
LKXUserProblem KXCheckUserAddressFree(std::string_view email);
// kEnteredTwice when `emails[index]` is among the addresses before it.
LKXUserProblem KXCheckEnteredOnce(std::span<const std::string> emails, std::size_t index);

// The first team of `teams` (cleaned names) that does not exist ("DefaultTeam"
// always does) and is not among `kept` (teams the record holds already).
LKXUserCheck KXCheckUserTeams(const std::vector<std::string>& teams, const std::vector<std::string>& kept = {});
// The first manager of `managers` (cleaned addresses) who is no user and not
// among `known` (addresses stored together with this one, or kept from the
// record), or who is `email` himself; in the order of the list.
LKXUserCheck KXCheckUserManagers(const std::vector<std::string>& managers, std::string_view email,
                                 const std::vector<std::string>& known = {});
