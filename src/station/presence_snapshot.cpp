#include "station/presence_snapshot.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/user.h"
#include "station/presence_seq.h"

namespace {

std::mutex gSnapshotMutex;  // guards gSnapshot; held while one thread rebuilds it
std::shared_ptr<const LKXPresenceSnapshot> gSnapshot;

bool StillGood(const LKXPresenceSnapshot& snapshot, std::uint32_t minSeq, std::int64_t nowMs) {
  return !LKXSeqAfter(minSeq, snapshot.seq) && nowMs - snapshot.builtMs < kLKXSnapshotMaxAgeMs;
}

std::shared_ptr<const LKXPresenceSnapshot> Build() {
  auto snapshot = std::make_shared<LKXPresenceSnapshot>();
  // Taken before any record is read: see the header.
  snapshot->seq = LKXPresenceSeq();
  snapshot->builtMs = LKXSteadyMs();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    snapshot->users.push_back(LKXReadPresenceEntry(it.Get()));
    snapshot->byEmail.emplace(LSettingsLowerCase(snapshot->users.back().email), snapshot->users.size() - 1);
  }
  return snapshot;
}

}  // namespace

const LKXPresenceEntry* LKXPresenceSnapshot::Find(std::string_view email) const {
  const auto found = byEmail.find(LSettingsLowerCase(email));
  return found == byEmail.end() ? nullptr : &users[found->second];
}

std::int64_t LKXSteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LKXPresenceEntry LKXReadPresenceEntry(LKXUser& record) {
  // One reading of the file for all the keys below.
  record.HoldReading();
  LKXPresenceEntry entry;
  entry.path = record.GetPath();
  entry.email = record.GetText(kKXUserEmail);
  entry.name = record.GetText(kKXUserName);
  entry.team = record.GetText(kKXUserTeam);
  entry.location = record.GetText(kKXUserLastLocation);
  entry.application = record.GetText(kKXUserLastApplication);
  entry.caption = record.GetText(kKXUserLastCaption);
  entry.phone = record.GetText(kKXUserPhone);
  entry.monitor = record.GetFlag(kKXUserMonitor);
  entry.connected = record.GetFlag(kKXUserConnected);
  entry.active = record.GetFlag(kKXUserStateActive);
  entry.isPrivate = record.GetFlag(kKXUserStatePrivate);
  entry.stateChanged = LDateTime(record.GetNumber(kKXUserStateChanged));
  return entry;
}

std::shared_ptr<const LKXPresenceSnapshot> LKXGetPresenceSnapshot(std::uint32_t minSeq) {
  std::lock_guard<std::mutex> lock(gSnapshotMutex);
  if (!gSnapshot || !StillGood(*gSnapshot, minSeq, LKXSteadyMs())) {
    gSnapshot = Build();
  }
  return gSnapshot;
}

std::shared_ptr<const LKXPresenceSnapshot> LKXPeekPresenceSnapshot() {
  std::lock_guard<std::mutex> lock(gSnapshotMutex);
  return gSnapshot;
}

void LKXResetPresenceSnapshot() {
  std::lock_guard<std::mutex> lock(gSnapshotMutex);
  gSnapshot.reset();
}
