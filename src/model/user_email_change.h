#pragma once
// Giving a user a new e-mail address. The address is the user's key in the
// registry, in other users' "Manager" lists and operator keys, in two
// settings, and (through the folder name) the place of the user's work logs
// and screenshots, so all of them move together or none does.

#include <functional>
#include <string>
#include <string_view>

enum class LKXEmailChange {
  kDone,
  kNoSuchUser,     // no user has the old address
  kFolderExists,   // another folder already has the new address's name
  kAddressTaken,   // another user already has the new address
  kFolderNotMoved, // the archive folder could not be renamed; nothing changed
  kNotStored,      // the registry could not be written; the folder is back
};

// Changes the address of the user `old_email` (letter case ignored) to
// `new_email`, which the caller has validated:
// 1. Refuses when the archive root already holds a folder of the new
//    address's name, unless it is the user's own folder (a change of letter
//    case, or of a byte that folder names drop, keeps the folder), and when
//    another user has the new address. `new_folder_name` is that name.
// 2. Calls `before_change` (may be empty): the station server stops the
//    user's connections there, so that no station writes into the old folder
//    while it moves.
// 3. Renames the user's folder in the archive root, never over an existing
//    one. A user without a folder yet has nothing to move.
// 4. Stores the address in the registry and in every "Manager" list and
//    operator key (KXChangeUserEmail); on failure the folder is moved back.
// 5. Sets "Email"/"ReplyToEmail" and "Settings"/"PrimaryUser" to the new
//    address where they named the old one.
LKXEmailChange KXChangeUserEmailAndFolder(std::string_view old_email, std::string_view new_email,
                                          const std::function<void()>& before_change,
                                          std::string& new_folder_name);
