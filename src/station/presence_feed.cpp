#include "station/presence_feed.h"

#include <algorithm>
#include <functional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "foundation/settings_parse.h"
#include "model/registry_text.h"
#include "station/own_record.h"
#include "station/name_list.h"

namespace {

// A session this far behind has stopped reading; see Push.
constexpr std::size_t kKeepNewestAtLeast = 1024;

// One change of a user at a time: write, read back, queue. Striped by user,
// so that users' record writes (each synced to disk) do not wait on each
// other; a user's changes keep their order, which is all a feed needs.
constexpr std::size_t kPublishStripes = 64;
std::mutex gPublishMutexes[kPublishStripes];

std::mutex& PublishMutexOf(std::string_view email) {
  return gPublishMutexes[std::hash<std::string>()(LSettingsLowerCase(email)) % kPublishStripes];
}
std::mutex gFeedsMutex;    // guards gFeeds
std::vector<std::shared_ptr<LKXPresenceFeed>> gFeeds;

}  // namespace

LKXPresenceFeed::LKXPresenceFeed(std::string_view userName)
    : userName_(userName), keepNewestAt_(kKeepNewestAtLeast) {}

std::string LKXPresenceFeed::Teams() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return teams_;
}

void LKXPresenceFeed::SetTeams(std::string_view teams) {
  std::lock_guard<std::mutex> lock(mutex_);
  teams_ = teams;
  teamsKnown_ = true;
}

bool LKXPresenceFeed::Wants(const LKXPresenceEntry& entry) const {
  if (entry.monitor) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  return !teamsKnown_ || LKXTeamsIntersect(teams_, entry.team);
}

void LKXPresenceFeed::Push(std::uint32_t seq, std::shared_ptr<const LKXPresenceEntry> entry) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({seq, std::move(entry)});
    if (queue_.size() >= keepNewestAt_) KeepNewestOfEachUser();
  }
  wake_.Signal();
}

void LKXPresenceFeed::KeepNewestOfEachUser() {
  std::unordered_set<std::string> seen;
  std::deque<LKXQueuedState> kept;
  for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
    if (seen.insert(LSettingsLowerCase(it->entry->email)).second) kept.push_front(std::move(*it));
  }
  queue_ = std::move(kept);
  // Doubling keeps the work per change constant when a team is larger than
  // the bound.
  keepNewestAt_ = std::max(kKeepNewestAtLeast, queue_.size() * 2);
}

std::deque<LKXQueuedState> LKXPresenceFeed::TakeAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_.Reset();
  std::deque<LKXQueuedState> taken;
  taken.swap(queue_);
  return taken;
}

std::uint32_t LKXSubscribePresence(const std::shared_ptr<LKXPresenceFeed>& feed) {
  std::lock_guard<std::mutex> lock(gFeedsMutex);
  gFeeds.push_back(feed);
  // Read under the list lock: a change numbered later queues to the list
  // only after this.
  return LKXPresenceSeq();
}

void LKXUnsubscribePresence(const LKXPresenceFeed* feed) {
  std::lock_guard<std::mutex> lock(gFeedsMutex);
  const auto found = std::find_if(gFeeds.begin(), gFeeds.end(),
                                  [feed](const std::shared_ptr<LKXPresenceFeed>& f) { return f.get() == feed; });
  if (found == gFeeds.end()) return;
  *found = std::move(gFeeds.back());
  gFeeds.pop_back();
}

bool LKXPublishPresence(LKXOwnRecord& record, const std::function<bool(LSettingsEntries&)>& change) {
  std::lock_guard<std::mutex> publishing(PublishMutexOf(record.Email()));
  if (!record.Update(change)) return false;
  LKXUser user;
  std::shared_ptr<const LKXPresenceEntry> entry;
  if (record.Find(user)) entry = std::make_shared<const LKXPresenceEntry>(LKXReadPresenceEntry(user));
  // Bumped after the write, before any queueing: see LKXSubscribePresence.
  const std::uint32_t seq = LKXBumpPresenceSeq();
  if (!entry) return true;
  std::lock_guard<std::mutex> lock(gFeedsMutex);
  for (const std::shared_ptr<LKXPresenceFeed>& feed : gFeeds) {
    if (KXSameName(feed->UserName(), entry->email)) feed->SetTeams(entry->team);
    if (feed->Wants(*entry)) feed->Push(seq, entry);
  }
  return true;
}

std::deque<LKXQueuedState> LKXTakeFirstQueue(LKXPresenceFeed& feed) {
  // Waits out every change being written (in stripe order, as no writer
  // holds two).
  std::vector<std::unique_lock<std::mutex>> all;
  all.reserve(kPublishStripes);
  for (std::mutex& stripe : gPublishMutexes) all.emplace_back(stripe);
  return feed.TakeAll();
}
