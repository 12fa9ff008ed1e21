#pragma once
// What a new session's first sync needs of every user record, read once and
// shared by the sessions that log on meanwhile: without it each of N
// stations logging on would read all N records (N x N file reads). Later
// changes reach a session through its presence feed, not through here.
//
// The snapshot is labelled with the change sequence read before any record
// is: every change bumps the sequence after its record was written, so a
// snapshot of sequence S shows every change numbered S or below.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/date_time.h"

class LKXUser;

struct LKXPresenceEntry {
  std::string path;  // the record's file
  std::string email;
  std::string name;
  std::string team;
  std::string location;
  std::string application;
  std::string caption;
  std::string phone;
  bool monitor = false;
  bool connected = false;
  bool active = false;
  bool isPrivate = false;
  LDateTime stateChanged;
};

struct LKXPresenceSnapshot {
  std::uint32_t seq = 0;
  std::int64_t builtMs = 0;
  std::vector<LKXPresenceEntry> users;  // registry order
  // Lower-cased "Email" -> index of its first record in `users`.
  std::unordered_map<std::string, std::size_t> byEmail;

  // The first record whose "Email" equals `email` (letter case ignored).
  const LKXPresenceEntry* Find(std::string_view email) const;
};

// A snapshot is still rebuilt after this long, so edits that do not touch
// presence (names, teams) are seen by new sessions.
inline constexpr std::int64_t kLKXSnapshotMaxAgeMs = 1000;

LKXPresenceEntry LKXReadPresenceEntry(LKXUser& record);
// A snapshot of sequence `minSeq` or later (built now when needed).
std::shared_ptr<const LKXPresenceSnapshot> LKXGetPresenceSnapshot(std::uint32_t minSeq);
// The shared snapshot as it is, however old; null before the first.
std::shared_ptr<const LKXPresenceSnapshot> LKXPeekPresenceSnapshot();
// Forgets the shared snapshot (tests start clean).
void LKXResetPresenceSnapshot();
// Milliseconds of a steady clock.
std::int64_t LKXSteadyMs();
