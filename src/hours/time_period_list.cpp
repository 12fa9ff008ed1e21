#include "hours/time_period_list.h"

#include <algorithm>
#include <utility>

namespace {

// False when nothing is to be added.
bool Normalise(std::int32_t& start, std::int32_t& end) {
  if (start == end) return false;
  if (end == 0) {
    end = kKXSecondsPerDay;
    if (start > kKXSecondsPerDay) std::swap(start, end);
  }
  if (start > end) std::swap(start, end);
  start = std::clamp(start, 0, kKXSecondsPerDay);
  end = std::clamp(end, 0, kKXSecondsPerDay);
  return start < end;
}

}  // namespace

std::size_t LTimePeriodList::FirstEndingAfter(std::int32_t second) const {
  // Ends rise strictly along the list, as periods never overlap.
  const auto it = std::upper_bound(periods_.begin(), periods_.end(), second,
                                   [](std::int32_t value, const LTimePeriod& p) { return value < p.end; });
  return static_cast<std::size_t>(it - periods_.begin());
}

void LTimePeriodList::AddPeriod(std::int32_t start, std::int32_t end, int type) {
  if (!Normalise(start, end)) return;
  const std::size_t first = FirstEndingAfter(start);
  const std::size_t old_size = periods_.size();
  std::int32_t s = start;
  // The uncovered pieces go to the back first; they are merged into place
  // below only when some period they skipped starts after the first piece.
  for (std::size_t i = first; i < old_size && s < end; ++i) {
    const LTimePeriod p = periods_[i];
    if (p.start >= end) break;
    if (s < p.start) periods_.push_back({s, p.start, type});
    s = std::max(s, p.end);
  }
  if (s < end) periods_.push_back({s, end, type});
  if (periods_.size() == old_size || first == old_size) return;
  if (periods_[old_size - 1].start < periods_[old_size].start) return;  // the day grew at its end
  std::inplace_merge(periods_.begin() + static_cast<std::ptrdiff_t>(first),
                     periods_.begin() + static_cast<std::ptrdiff_t>(old_size), periods_.end(),
                     [](const LTimePeriod& a, const LTimePeriod& b) { return a.start < b.start; });
}

void LTimePeriodList::AddPeriodOverwrite(std::int32_t start, std::int32_t end, int type) {
  if (!Normalise(start, end)) return;
  const std::size_t first = FirstEndingAfter(start);
  std::size_t last = first;  // one past the last period that overlaps
  while (last < periods_.size() && periods_[last].start < end) ++last;
  std::vector<LTimePeriod> replacement;
  if (first < last && periods_[first].start < start) replacement.push_back({periods_[first].start, start, periods_[first].type});
  replacement.push_back({start, end, type});
  if (first < last && periods_[last - 1].end > end) replacement.push_back({end, periods_[last - 1].end, periods_[last - 1].type});
  const auto from = periods_.begin() + static_cast<std::ptrdiff_t>(first);
  periods_.erase(from, periods_.begin() + static_cast<std::ptrdiff_t>(last));
  periods_.insert(periods_.begin() + static_cast<std::ptrdiff_t>(first), replacement.begin(), replacement.end());
}

void LTimePeriodList::JoinTimePeriods() {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < periods_.size(); ++i) {
    if (kept > 0 && periods_[kept - 1].end == periods_[i].start && periods_[kept - 1].type == periods_[i].type) {
      periods_[kept - 1].end = periods_[i].end;
    } else {
      periods_[kept++] = periods_[i];
    }
  }
  periods_.resize(kept);
}
