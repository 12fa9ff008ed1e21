#include "station/own_record.h"

#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "station/presence_snapshot.h"

bool LKXFindUserRecord(std::string_view email, LKXUser& out) {
  if (email.empty()) return false;
  // The shared snapshot knows where each record was; checked, that spares
  // reading every record per logon when thousands of stations log on.
  if (const std::shared_ptr<const LKXPresenceSnapshot> snapshot = LKXPeekPresenceSnapshot()) {
    if (const LKXPresenceEntry* entry = snapshot->Find(email)) {
      LKXUser cached(entry->path);
      if (KXSameName(cached.GetEmail(), email)) {
        out = cached;
        return true;
      }
    }
  }
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (KXSameName(it.Get().GetEmail(), email)) {
      out = it.Get();
      return true;
    }
  }
  return false;
}

bool LKXOwnRecord::Find(LKXUser& out) {
  if (!path_.empty()) {
    LKXUser cached(path_);
    if (KXSameName(cached.GetEmail(), email_)) {
      out = cached;
      return true;
    }
  }
  path_.clear();
  if (!LKXFindUserRecord(email_, out)) return false;
  path_ = out.GetPath();
  return true;
}

bool LKXOwnRecord::Update(const std::function<bool(LSettingsEntries&)>& change) {
  // A second round when the remembered file turned out to be someone
  // else's (records are renumbered only by deletion and re-adding).
  for (int round = 0; round < 2; ++round) {
    LKXUser user;
    if (!Find(user)) return false;
    bool mine = false;
    const std::string& email = email_;
    user.Modify([&mine, &email, &change](LSettingsEntries& entries) {
      const std::string* stored = entries.Find(LSettingsLowerCase(kKXUserEmail.name));
      mine = stored != nullptr && KXSameName(*stored, email);
      return mine && change(entries);
    });
    if (mine) return true;
    path_.clear();
  }
  return false;
}

bool LKXOwnRecord::Put(LSettingsEntries& entries, const LKXUserKey& key, std::string_view value) {
  return entries.Set(LSettingsLowerCase(key.name), LSettingsCleanValue(value));
}
