#pragma once
// Adding, finding, renaming and deleting staff users. Users are keyed by
// e-mail address, compared without regard to letter case and cleaned as
// registry_text.h says, so that the address checked is the address stored.
//
// Every function reads the files afresh; operations that check and then
// write hold LKXRegistryLock, so an address stays unique however many
// threads (and processes of this program) add users at once.

#include <string>
#include <string_view>

#include "model/user.h"

// Adds a user and writes, in this order, "Email", "Name", "AccessAdmin",
// "AccessHR", "Team" (`team`, or "DefaultTeam" when empty), "Manager"
// (`manager`, or when empty the address of the last administrator in list
// order, or empty when there is none), then "Password" when `password` is
// not empty, else "PasswordReq" = 1, and last "EmpStartDate" = now as
// "YYYY-MM-DD HH:MM:SS". The record is written in one go, so no reader sees
// half a user. False when the address is empty or already a user's, or the
// record cannot be written (nothing is left behind then).
bool KXAddUser(std::string_view email, std::string_view name, bool is_admin, bool is_accountant,
               std::string_view team, std::string_view manager, std::string_view password);

bool KXUserExists(std::string_view email);
// Points `user` at the record with that address; false when there is none.
bool KXGetUser(std::string_view email, LKXUser& user);
// Deletes the user's record file, nothing else: the logs and screenshots
// stay, and other users' "Manager" lists keep the address.
bool KXDeleteUser(std::string_view email);

// Gives the user `old_email` the address `new_email` (false when there is
// no such user, the new address is empty or belongs to another user), and
// in every record replaces the old address in the "Manager" list and in
// "LeaveApproveOperator", "LeaveDisapproveOperator" and
// "LeaveDeletedOperator". The user's folders and the settings that name the
// address are the caller's.
bool KXChangeUserEmail(std::string_view old_email, std::string_view new_email);

// Sets "Connected" to 0 on every existing user record; the engine calls it
// when it starts, as no station can be connected then. False when some
// record could not be written.
bool KXClearAllConnectedFlags();

// The number of user records.
int KXUserCount();

// Whether `user`'s address stands in the "Manager" list of any user, their
// own record included.
bool KXIsManager(LKXUser& user);
// Whether `manager`'s address stands in the "Manager" list of the user with
// address `email` (false when there is no such user).
bool KXIsManagerOf(LKXUser& manager, std::string_view email);
