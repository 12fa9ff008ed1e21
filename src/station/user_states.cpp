// Presence: what a station reports about its user, and what it is told about
// the user's team mates.

#include <deque>
#include <string>
#include <unordered_set>

#include "foundation/settings_parse.h"
#include "foundation/thread.h"
#include "model/org_settings.h"
#include "model/registry_text.h"
#include "station/name_list.h"
#include "station/server_connection.h"

namespace {

constexpr int kProgramsSendMs = 50000;
// The first sync of a session covers the last 28 days.
constexpr std::int32_t kFirstSyncSeconds = 2419200;

// "ShowUserCaptions": below 0 nobody's caption is kept, above 0 only the
// captions of users whose "ShowDetails" allows it, 0 everybody's.
std::string KeptCaption(LKXOwnRecord& record, const std::string& caption) {
  const int rule = KXOrgGetInt(LKXOrg::kShowUserCaptions);
  if (rule < 0) return {};
  if (rule == 0) return caption;
  LKXUser user;
  return record.Find(user) && user.GetFlag(kKXUserShowDetails) ? caption : std::string();
}

LKXUserState StateOf(const LKXPresenceEntry& entry) {
  LKXUserState state;
  state.email = entry.email;
  state.name = entry.name;
  state.phone = entry.phone;
  if (entry.connected) {
    state.location = entry.location;
    state.application = entry.application;
    state.caption = entry.caption;
    state.state = entry.active ? kLKXUserStateActive : kLKXUserStateIdle;
    if (entry.isPrivate) {
      state.state += kLKXUserStatePrivateBit;
      state.caption = "*";
    }
  } else {
    state.location = "--";
    state.caption = entry.caption;
    state.state = kLKXUserStateOffline;
  }
  return state;
}

}  // namespace

bool LKXServerConnection::HandlePresence(const LKXWireHeader& header, std::string& message) {
  LKXPresence presence;
  if (!ReceiveMessage(header, message) || LKXParsePresence(message, presence) != LKXWireStatus::kOk) return false;
  if (presence.stateFlags & kLKXPresenceActive) lastActiveMs_.store(LKXSteadyMs());
  const std::string location = LKXWireText(presence.location);
  const std::string application = LKXWireText(presence.application);
  const std::string phone = LKXWireText(presence.phone);
  const std::string caption = KeptCaption(record_, LKXWireText(presence.caption));
  const bool active = (presence.stateFlags & kLKXPresenceActive) != 0;
  const bool isPrivate = (presence.stateFlags & kLKXPresencePrivate) != 0;
  const std::string changed = std::to_string(LDateTime::Now().value);
  // One write for all keys, so a reader never sees half a report.
  (void)LKXPublishPresence(record_, [&](LSettingsEntries& entries) {
    bool any = LKXOwnRecord::Put(entries, kKXUserConnected, "1");
    any = LKXOwnRecord::Put(entries, kKXUserLastLocation, location) || any;
    any = LKXOwnRecord::Put(entries, kKXUserPhone, phone) || any;
    any = LKXOwnRecord::Put(entries, kKXUserLastApplication, application) || any;
    any = LKXOwnRecord::Put(entries, kKXUserLastCaption, caption) || any;
    any = LKXOwnRecord::Put(entries, kKXUserStateActive, active ? "1" : "0") || any;
    any = LKXOwnRecord::Put(entries, kKXUserStatePrivate, isPrivate ? "1" : "0") || any;
    any = LKXOwnRecord::Put(entries, kKXUserStateChanged, changed) || any;
    return any;
  });
  return true;
}

bool LKXServerConnection::SendAllUserStates() {
  if (!feed_) return true;  // only main sessions receive states
  lastSyncTime_ = LDateTime::Now() - kFirstSyncSeconds;
  // A snapshot that shows every change made before the feed was subscribed;
  // later ones are queued. What the queue holds of a user is newer than
  // the snapshot's view, so that user is sent from the queue only: a
  // station never sees a user's state go back.
  const std::shared_ptr<const LKXPresenceSnapshot> snapshot = LKXGetPresenceSnapshot(subscribedSeq_);
  // A user added since the snapshot was built is read from the record.
  const LKXPresenceEntry* own = snapshot->Find(userName_);
  LKXUser record;
  feed_->SetTeams(own ? own->team : record_.Find(record) ? record.GetText(kKXUserTeam) : std::string());
  std::deque<LKXQueuedState> queued = LKXTakeFirstQueue(*feed_);
  std::erase_if(queued, [this, &snapshot](const LKXQueuedState& q) {
    return !LKXSeqAfter(q.seq, snapshot->seq) || !feed_->Wants(*q.entry);
  });
  std::unordered_set<std::string> fromQueue;
  for (const LKXQueuedState& q : queued) fromQueue.insert(LSettingsLowerCase(q.entry->email));
  for (const LKXPresenceEntry& entry : snapshot->users) {
    if (entry.stateChanged < lastSyncTime_ || !feed_->Wants(entry)) continue;
    if (fromQueue.contains(LSettingsLowerCase(entry.email))) continue;
    if (!SendEntry(entry)) return false;
  }
  for (const LKXQueuedState& q : queued) {
    if (!SendEntry(*q.entry)) return false;
  }
  return true;
}

bool LKXServerConnection::SendNewUserStates() {
  if (!feed_) return true;
  for (const LKXQueuedState& q : feed_->TakeAll()) {
    if (!SendEntry(*q.entry)) return false;
  }
  return true;
}

bool LKXServerConnection::SendUserState(LKXUser& record) { return SendEntry(LKXReadPresenceEntry(record)); }

bool LKXServerConnection::SendEntry(const LKXPresenceEntry& entry) {
  const LKXUserState state = StateOf(entry);
  const std::string message = LKXBuildUserState(state);
  return SendParts(&thread_, {{std::string_view(message).substr(0, 24), stateSendMs_},
                              {std::string_view(message).substr(24), stateSendMs_}}) == kLProcessDone;
}

bool LKXServerConnection::SendBusinessProgramsList() {
  std::string text;
  if (KXOrgGetBool(LKXOrg::kSendBusinessProgramsList)) text = KXOrgGetText(LKXOrg::kBusinessPrograms);
  const std::string message = LKXBuildBusinessPrograms(text);
  return SendParts(&thread_, {{std::string_view(message).substr(0, 16), kProgramsSendMs},
                              {std::string_view(message).substr(16), kProgramsSendMs}}) == kLProcessDone;
}
