#pragma once
// Changes that could leave the office without an administrator: taking
// "AccessAdmin" away and deleting a user. The panel is managed only by
// administrators, so the last one keeps the role and the record; each check
// and its write happen under LKXRegistryLock, so two administrators removing
// each other at once cannot both succeed.

#include <string_view>

enum class LKXRoleChange {
  kDone,
  kNoSuchUser,
  kLastAdministrator,  // refused: nobody would be left to manage the panel
  kNotStored,
};

// Sets or clears "AccessAdmin" of the user with that address.
[[nodiscard]] LKXRoleChange KXSetAdministrator(std::string_view email, bool administrator);
// Deletes the user's record file (nothing else, as KXDeleteUser).
[[nodiscard]] LKXRoleChange KXDeleteUserKeepingAdministrator(std::string_view email);
// The number of users with "AccessAdmin".
int KXAdministratorCount();
