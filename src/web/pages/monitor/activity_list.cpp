#include "web/pages/monitor/activity_list.h"

#include <algorithm>

#include "foundation/text_limits.h"
#include "model/registry_text.h"

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::int64_t EndOf(const LKXActivityEntry& e) { return std::int64_t{e.start} + e.duration; }

}  // namespace

void LKXActivityList::Unlink(Index& index, std::int64_t key, std::size_t entry) {
  const auto found = index.find(key);
  if (found == index.end()) return;
  std::vector<std::size_t>& list = found->second;
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  if (list.empty()) index.erase(found);
}

std::size_t LKXActivityList::Newest(const Index& index, std::int64_t key, std::string_view application) const {
  const auto found = index.find(key);
  if (found == index.end()) return kNone;
  std::size_t best = kNone;
  for (std::size_t i : found->second) {
    if ((best == kNone || i > best) && KXSameName(entries_[i].application, application)) best = i;
  }
  return best;
}

void LKXActivityList::AddActivity(std::int32_t start, std::int32_t duration, std::uint16_t flags, int keys,
                                  int clicks, std::string_view application, std::string_view caption) {
  application = application.substr(0, kLMaxText);
  caption = caption.substr(0, kLMaxText);
  const bool idle = keys == 0 && clicks == 0;
  if (idle) {
    const std::int64_t end = std::int64_t{start} + duration;
    const std::size_t after = Newest(idleByEnd_, start, application);
    const std::size_t before = Newest(idleByStart_, end, application);
    const std::size_t target = after == kNone ? before : (before == kNone ? after : std::max(after, before));
    if (target != kNone) {
      LKXActivityEntry& e = entries_[target];
      Unlink(idleByEnd_, EndOf(e), target);
      Unlink(idleByStart_, e.start, target);
      if (target == before && target != after) e.start = start;
      e.duration += duration;
      idleByEnd_[EndOf(e)].push_back(target);
      idleByStart_[e.start].push_back(target);
      return;
    }
  }
  entries_.push_back(LKXActivityEntry{start, duration, flags, keys, clicks, std::string(application),
                                      std::string(caption), ascending_});
  if (idle) {
    const std::size_t i = entries_.size() - 1;
    idleByEnd_[EndOf(entries_[i])].push_back(i);
    idleByStart_[start].push_back(i);
  }
}

std::vector<LKXActivityEntry> LKXActivityList::Sorted() const {
  // List order is newest first, and a stable sort keeps it among equal starts.
  std::vector<LKXActivityEntry> sorted(entries_.rbegin(), entries_.rend());
  const bool up = ascending_;
  std::stable_sort(sorted.begin(), sorted.end(), [up](const LKXActivityEntry& a, const LKXActivityEntry& b) {
    return up ? a.start < b.start : a.start > b.start;
  });
  return sorted;
}
