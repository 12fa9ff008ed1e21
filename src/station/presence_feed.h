#pragma once
// Presence pushed to team mates at once. Every main session owns a feed: a
// queue of the user states it must send, and an event that wakes its
// session loop. A presence change is written, read back and queued for
// every subscribed team mate in one step under one lock, so every feed sees
// the changes in the order they were written and none is missed or
// overtaken; the changing thread only queues, so a station that stops
// reading delays nobody but itself.
//
// Lock order: a publish lock (one of a few, by user; all of them, in order,
// only for a new session's first queue) -> the feed list lock -> a feed's
// own lock.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/settings_parse.h"
#include "foundation/signal_object.h"
#include "station/presence_seq.h"
#include "station/presence_snapshot.h"

class LKXOwnRecord;

struct LKXQueuedState {
  std::uint32_t seq = 0;  // the change sequence the change was given
  std::shared_ptr<const LKXPresenceEntry> entry;
};

class LKXPresenceFeed {
 public:
  // Until SetTeams names the session user's "Team" list, which then picks
  // the changes queued, every change is queued (the first sync sorts them).
  explicit LKXPresenceFeed(std::string_view userName);
  LKXPresenceFeed(const LKXPresenceFeed&) = delete;
  LKXPresenceFeed& operator=(const LKXPresenceFeed&) = delete;

  const std::string& UserName() const { return userName_; }
  std::string Teams() const;
  void SetTeams(std::string_view teams);
  // Whether a change of `entry`'s user is this session's to send.
  bool Wants(const LKXPresenceEntry& entry) const;

  // Queues one change and wakes the session. When a session falls far
  // behind, only the newest change of each user is kept (states, not
  // events, so nothing is lost), which bounds the queue.
  void Push(std::uint32_t seq, std::shared_ptr<const LKXPresenceEntry> entry);
  // Takes everything queued, oldest first, and resets the wake event.
  std::deque<LKXQueuedState> TakeAll();
  LSignalObjectRef WakeSignal() const { return wake_.Ref(); }
  // Wakes the session with nothing queued (a watcher has come).
  void Wake() { wake_.Signal(); }

 private:
  void KeepNewestOfEachUser();

  const std::string userName_;
  mutable std::mutex mutex_;  // guards teams_, teamsKnown_, queue_, keepNewestAt_ and the reset of wake_
  std::string teams_;
  bool teamsKnown_ = false;
  std::deque<LKXQueuedState> queue_;
  std::size_t keepNewestAt_;
  LSignalObject wake_;
};

// Adds `feed` to the sessions that receive changes. Returns the change
// sequence at that moment: every change given a later number is queued to
// the feed, every earlier one is in any snapshot of at least that sequence.
std::uint32_t LKXSubscribePresence(const std::shared_ptr<LKXPresenceFeed>& feed);
void LKXUnsubscribePresence(const LKXPresenceFeed* feed);

// Writes a presence change with `change` (as LKXOwnRecord::Update), bumps
// the change sequence and queues the user's new state to every subscribed
// team mate (the user's own sessions included, whose team list it also
// refreshes). False when the user has no record: nothing is queued.
bool LKXPublishPresence(LKXOwnRecord& record, const std::function<bool(LSettingsEntries&)>& change);

// Takes a new session's queue in step with the writers: every change that a
// snapshot read before this call shows is either older than the snapshot's
// sequence or among what is returned.
std::deque<LKXQueuedState> LKXTakeFirstQueue(LKXPresenceFeed& feed);
