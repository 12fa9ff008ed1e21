#include "hours/app_usage.h"

#include <algorithm>
#include <climits>
#include <string>

#include "foundation/csv_reader.h"
#include "foundation/settings_parse.h"
#include "foundation/text_limits.h"
#include "hours/log_row.h"
#include "hours/work_hours.h"
#include "model/archive_paths.h"

namespace {

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

void AddDay(LKXAppUsageList& list, std::string_view email, LDateTime day, std::string_view only_application,
            bool by_caption) {
  // Reading must not make a folder for an address that has none.
  const std::string path = KXUserActivityLogPath(email, day);
  if (path.empty()) return;
  LCSVFileReader reader(path, kKXLogReadLockMs);
  std::string application;
  std::string caption;
  LKXLogRowHead head;
  while (reader.Next()) {
    LKXReadLogRowTexts(reader.Line(), head, application, by_caption ? &caption : nullptr);
    const int duration = head.duration;
    const int keys = head.keys;
    const int clicks = head.clicks;
    if (duration < 1 || duration > 86400) continue;
    if (!LKXAppUsageRowCounts(head.flags, keys, clicks, application, only_application)) continue;
    list.AddApp(duration, keys, clicks, by_caption ? caption : application);
  }
}

void AddDays(LKXAppUsageList& list, std::string_view email, LDateTime first, LDateTime last,
             std::string_view only_application, bool by_caption) {
  LDateTime day = first;
  LDateTime stop = last;
  if (!day.SetDayTime(LDayTime(0)) || !stop.SetDayTime(LDayTime(0))) return;
  while (day <= stop) {
    AddDay(list, email, day, only_application, by_caption);
    const LDateTime before = day;
    if (!day.AddCalendarDays(1) || day <= before) break;
  }
}

}  // namespace

void LKXAppUsageList::AddApp(std::int32_t seconds, std::int32_t keys, std::int32_t clicks, std::string_view name) {
  const std::string_view cut = name.substr(0, std::min(name.size(), kLMaxText));
  for (LKXAppUsage& entry : entries_) {
    if (!LSettingsEqualNoCase(entry.name, cut)) continue;
    entry.seconds = SaturatingAdd(entry.seconds, seconds);
    entry.keys = SaturatingAdd(entry.keys, keys);
    entry.clicks = SaturatingAdd(entry.clicks, clicks);
    return;
  }
  entries_.push_front({seconds, keys, clicks, LCutText(cut), tag_});
}

std::int32_t LKXAppUsageList::GetTotalUsageSeconds() const {
  std::int64_t total = 0;
  for (const LKXAppUsage& entry : entries_) total += entry.seconds;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

bool LKXAppUsageRowCounts(int flags, int keys, int clicks, std::string_view application,
                          std::string_view only_application) {
  if ((flags & 1) != 0) return false;
  if (keys < 1 && clicks < 1) return false;
  return only_application.empty() || LSettingsEqualNoCase(application, only_application);
}

void LKXAddAppUsage(LKXAppUsageList& list, std::string_view email, LDateTime first, LDateTime last,
                    std::string_view only_application) {
  AddDays(list, email, first, last, only_application, false);
}

void LKXAddDocumentUsage(LKXAppUsageList& list, std::string_view email, LDateTime first, LDateTime last,
                         std::string_view application) {
  if (application.empty()) return;
  AddDays(list, email, first, last, application, true);
}
