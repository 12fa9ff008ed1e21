#pragma once
// What a valid new user is and what the record of one gets, whichever way
// he is made: the add-user page, the setup wizard's users step, the control
// panel's import and the control window's import all come through here, so
// that users made any of these ways start alike.

#include <string>
#include <string_view>
#include <vector>

#include "model/new_user_check.h"
#include "model/user.h"

// Monday to Friday ("WorkDays" bits, Sunday is bit 0): what every form that
// offers work days presets. A record without "WorkDays" still reads as
// flexible days (0), as the registry has always read it.
inline constexpr int kKXNewUserWorkDays = 62;

struct LKXNewUser {
  std::string email;
  std::string name;
  bool admin = false;
  bool accountant = false;
  std::string team;      // comma list; empty: "DefaultTeam"
  std::string manager;   // comma list; empty: the last administrator
  std::string password;  // empty: a random one, mailed with the logon details
  int workDays = kKXNewUserWorkDays;
  int workType = kKXWorkTypeNotSet;
  int workHours = 0;  // 0: the organisation's default
};

// The first problem of `user`'s fields, in the order the add-user form asks:
// an address (present, accepted by `valid_address`), a name, teams that
// exist ("DefaultTeam" always does), managers who are users or among
// `coming` (addresses stored together with this one) and not the user
// himself. With `is_new`, an address that is already a user's is refused
// after the name.
LKXUserCheck KXCheckUser(const LKXNewUser& user, bool is_new, LKXAddressCheck valid_address,
                         const std::vector<std::string>& coming = {});

// Adds the user (KXAddUser) and then gives the record the work days, work
// type and hours; without a password, a random one and "PasswordReq" = 1,
// set last, so that the logon details are mailed once the record is whole.
// False when the address is taken or the record could not be written.
[[nodiscard]] bool KXCreateUser(const LKXNewUser& user);
