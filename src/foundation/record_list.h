#pragma once
// Numbered member records of one settings record: the users, teams, public
// holidays and leave types. The list file holds "maxid", one more than the
// highest id ever given out; member k is the sub-record named k (decimal,
// no leading zeros). Lists are walked in id order 0 .. maxid-1, skipping ids
// without a file, and a removed member's id is reused by the next addition.
//
//   auto users = LRecordList<LSettingsRecord, LKXUser>::InSharedFolder("UsersList");
//   for (LRecordListIterator<LSettingsRecord, LKXUser> it(users); it.Next();)
//     it.Get().GetString("Email");
//
// TMember derives from TBase (in practice LSettingsRecord) and is default
// constructible. A list object, like any settings file, is not thread-safe:
// process-wide lists are copied per operation (a copy holds only the path).

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/settings_file.h"
#include "foundation/settings_parse.h"
#include "foundation/settings_sections.h"

inline constexpr std::string_view kLRecordListMaxIdKey = "maxid";

// "maxid" as GetInt reads it, never below 0.
inline int LRecordListParseMaxId(const std::string* text) {
  if (text == nullptr || text->empty()) return 0;
  const long value = std::strtol(text->c_str(), nullptr, 10);
  if (value < 0) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

template <class TBase, class TMember>
class LRecordList : public TBase {
 public:
  LRecordList() = default;
  explicit LRecordList(std::string_view path) : TBase(path) {}

  // The list `name` in the shared data folder (e.g. "UsersList").
  static LRecordList InSharedFolder(std::string_view name) {
    return LRecordList(LSettingSectionFile(LSettingsGetSharedFolder(), name));
  }

  int GetMaxID() {
    const std::string text = this->GetString(kLRecordListMaxIdKey);
    return LRecordListParseMaxId(&text);
  }

  bool Exists(int id) const { return id >= 0 && this->TestSubRecordExists(std::to_string(id)); }

  // The number of ids below maxid that have a file.
  int Count() {
    const int max_id = GetMaxID();
    int count = 0;
    for (int id = 0; id < max_id; ++id) count += Exists(id) ? 1 : 0;
    return count;
  }

  // Points `out` at member `id`; returns whether that member exists.
  bool Open(int id, TMember& out) const {
    this->OpenSubRecord(std::to_string(id), out);
    return Exists(id);
  }

  // Claims a new member and points `out` at it; returns its id, or -1 when
  // none could be had. The lowest free id below maxid is reused; otherwise
  // maxid is raised by one, under the list file's lock, before the member is
  // made. The member's (empty) file is created at once and exclusively, so
  // that two threads or processes adding at the same moment never get the
  // same id and write into one record.
  int Add(TMember& out) {
    constexpr int kMaxRounds = 100;
    for (int round = 0; round < kMaxRounds; ++round) {
      const int max_id = GetMaxID();
      for (int id = 0; id < max_id; ++id) {
        if (!Exists(id) && this->CreateSubRecord(std::to_string(id), out)) return id;
      }
      const int claimed = ClaimNextId();
      if (claimed < 0) return -1;
      if (this->CreateSubRecord(std::to_string(claimed), out)) return claimed;
      // The id's file existed already (made by hand?): look again.
    }
    return -1;
  }

  // Deletes member `id`. maxid is never lowered.
  bool Remove(int id) { return id >= 0 && this->DeleteSubRecord(std::to_string(id)); }

 private:
  // Raises maxid by one in a single locked update; returns the old value.
  int ClaimNextId() {
    int claimed = -1;
    const bool saved = this->Modify([&claimed](LSettingsEntries& entries) {
      claimed = LRecordListParseMaxId(entries.Find(kLRecordListMaxIdKey));
      if (claimed == INT_MAX) {
        claimed = -1;
        return false;
      }
      return entries.Set(kLRecordListMaxIdKey, std::to_string(claimed + 1));
    });
    return saved ? claimed : -1;
  }
};

template <class TBase, class TMember>
class LRecordListIterator {
 public:
  // Works on a copy of the list, with maxid as it is now.
  explicit LRecordListIterator(const LRecordList<TBase, TMember>& list) : list_(list), max_id_(list_.GetMaxID()) {}

  // Moves to the next member that exists; false after the last one.
  bool Next() {
    while (++id_ < max_id_) {
      // Existence is tested first, so the walk creates no folders.
      const std::string path = list_.GetSubRecordPath(std::to_string(id_));
      if (access(path.c_str(), F_OK) == 0) {
        member_.ChangeFilePath(path);
        return true;
      }
    }
    return false;
  }

  int GetID() const { return id_; }
  TMember& Get() { return member_; }

 private:
  LRecordList<TBase, TMember> list_;
  int max_id_;
  int id_ = -1;
  TMember member_;
};
