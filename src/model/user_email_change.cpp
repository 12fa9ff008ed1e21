#include "model/user_email_change.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "model/registry_text.h"
#include "model/users.h"

namespace {

bool PathExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// rename() would silently replace an empty folder at `to`; a folder that
// appeared since the check (a station of that address logging on) must keep
// its files, so the move refuses to replace anything. errno tells why it
// failed.
bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: the narrow window between check and
  // rename is the best it allows.
  if (PathExists(to)) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

void ReplaceSetting(const char* section, const char* key, const std::string& old_email,
                    std::string_view new_email) {
  if (KXSameName(LSettingGetString(section, key), old_email)) LSettingSetString(section, key, new_email);
}

}  // namespace

LKXEmailChange KXChangeUserEmailAndFolder(std::string_view old_email, std::string_view new_email,
                                          const std::function<void()>& before_change,
                                          std::string& new_folder_name) {
  LKXUser user;
  new_folder_name = LKXCoreData::GetUserFolderName(new_email);
  if (!KXGetUser(old_email, user)) return LKXEmailChange::kNoSuchUser;
  const std::string stored = user.GetEmail();
  const std::string old_folder_name = LKXCoreData::GetUserFolderName(stored);
  const std::string root = LKXCoreData::GetArchiveRoot();
  const std::string old_folder = root + "/" + old_folder_name;
  const std::string new_folder = root + "/" + new_folder_name;
  const bool same_folder = old_folder_name == new_folder_name;
  if (new_folder_name.empty()) return LKXEmailChange::kNotStored;  // not an address at all
  if (!same_folder && PathExists(new_folder)) return LKXEmailChange::kFolderExists;
  if (!KXSameName(stored, new_email) && KXUserExists(new_email)) return LKXEmailChange::kAddressTaken;

  if (before_change) before_change();
  bool moved = false;
  if (!same_folder && !old_folder_name.empty()) {
    moved = MoveWithoutReplacing(old_folder, new_folder);
    if (!moved && errno == EEXIST) return LKXEmailChange::kFolderExists;
    if (!moved && errno != ENOENT) return LKXEmailChange::kFolderNotMoved;
  }
  if (!KXChangeUserEmail(stored, new_email)) {
    if (moved) MoveWithoutReplacing(new_folder, old_folder);
    return LKXEmailChange::kNotStored;
  }
  ReplaceSetting("Email", "ReplyToEmail", stored, new_email);
  ReplaceSetting("Settings", "PrimaryUser", stored, new_email);
  return LKXEmailChange::kDone;
}
