#pragma once
// The four record lists of the staff registry and the lock that keeps their
// check-then-write operations whole.
//
// A list object is nothing but its file path, and that path depends on the
// shared data folder, which KAVRIX_ROOT may move (each test points it at a
// folder of its own). So the process-wide names below hold only the list
// name and hand out a fresh list object in the current shared folder each
// time they are used; there is no state to create at start-up or to reset:
//
//   for (LRecordListIterator<LSettingsRecord, LKXUser> it(gKXUsersList); it.Next();)
//     it.Get().GetEmail();
//   LKXTeamList teams = gKXTeamList;  // a private copy to work on

#include <mutex>
#include <string_view>

#include "foundation/locked_file.h"
#include "foundation/record_list.h"
#include "model/user.h"

template <class TMember>
class LKXRegistryList {
 public:
  using List = LRecordList<LSettingsRecord, TMember>;

  constexpr explicit LKXRegistryList(std::string_view name) : name_(name) {}

  // The list in the shared data folder as it is now.
  List Get() const { return List::InSharedFolder(name_); }
  operator List() const { return Get(); }  // NOLINT: used where a list is expected
  std::string_view GetName() const { return name_; }

 private:
  std::string_view name_;
};

using LKXUserList = LRecordList<LSettingsRecord, LKXUser>;
using LKXUserListIterator = LRecordListIterator<LSettingsRecord, LKXUser>;
// Teams, public holidays and leave types are plain records.
using LKXPlainList = LRecordList<LSettingsRecord, LSettingsRecord>;
using LKXPlainListIterator = LRecordListIterator<LSettingsRecord, LSettingsRecord>;
using LKXTeamList = LKXPlainList;

inline constexpr LKXRegistryList<LKXUser> gKXUsersList("UsersList");
inline constexpr LKXRegistryList<LSettingsRecord> gKXTeamList("TeamList");
inline constexpr LKXRegistryList<LSettingsRecord> gKXPublicHolidayList("PublicHolidayList");
inline constexpr LKXRegistryList<LSettingsRecord> gKXLeaveTypeList("LeaveTypes");

// Held by every registry operation that checks the lists and then writes on
// what it found (a unique e-mail address, a unique team name, a holiday that
// overlaps no other, users moved off a deleted team), and by those that
// delete or rewrite records, so that a write never lands on a record that a
// deletion just removed (a settings write would bring the file back).
//
// Within the process a mutex serialises these operations. Across processes
// (the service and the desktop control window both edit the registry) an
// exclusive flock on the file "registry.lock" in the shared data folder does
// the same; that file is never rewritten or renamed, so the lock always sits
// on the file the other process opens. Like every settings lock it is given
// up after a time-out and the operation goes ahead, so that a stuck process
// cannot stop the office from working.
class LKXRegistryLock {
 public:
  static constexpr int kFileLockTimeoutMs = 3000;

  LKXRegistryLock();
  LKXRegistryLock(const LKXRegistryLock&) = delete;
  LKXRegistryLock& operator=(const LKXRegistryLock&) = delete;

  // Whether the other processes are locked out too (false after a time-out
  // or when the lock file cannot be opened).
  bool HoldsFileLock() const { return file_.locked; }

 private:
  // Taken first, so that only one thread of a process waits on the flock.
  std::unique_lock<std::mutex> hold_;
  LLockedFile file_;  // released before hold_, in reverse order
};
