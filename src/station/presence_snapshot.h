#pragma once
// What the presence walk needs of every user record, read once per change
// and shared by all station sessions. Without it each of N connected
// sessions would read all N records on every presence change (N x N file
// reads per change); with it the records are read at most once per change,
// and at most every kLKXSnapshotFreshMs while changes keep coming.
//
// The snapshot is labelled with the change sequence and the time read just
// before the records were: every later change bumps the sequence after its
// record was written and stamps "StateChanged" no earlier than that time,
// so a session that takes [its last sync, snapshot time] as its window and
// the snapshot's sequence as seen never misses a change.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/date_time.h"

class LKXUser;

struct LKXPresenceEntry {
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
  LDateTime time;
  std::int64_t builtMs = 0;
  std::vector<LKXPresenceEntry> users;  // registry order
  // Lower-cased "Email" -> index of its first record in `users`.
  std::unordered_map<std::string, std::size_t> byEmail;

  // The first record whose "Email" equals `email` (letter case ignored).
  const LKXPresenceEntry* Find(std::string_view email) const;
};

// A snapshot may be shared this long even when the sequence moved on, which
// bounds the rebuilds during a presence storm; sessions come back for the
// newer one at their next idle tick.
inline constexpr std::int64_t kLKXSnapshotFreshMs = 50;
// A snapshot of the current sequence is still rebuilt after this long, so
// edits that do not touch presence (names, teams) are seen by new sessions.
inline constexpr std::int64_t kLKXSnapshotMaxAgeMs = 1000;

LKXPresenceEntry LKXReadPresenceEntry(LKXUser& record);
// The current snapshot (built now when needed).
std::shared_ptr<const LKXPresenceSnapshot> LKXGetPresenceSnapshot();
// Forgets the shared snapshot (tests start clean).
void LKXResetPresenceSnapshot();
// Milliseconds of a steady clock.
std::int64_t LKXSteadyMs();
