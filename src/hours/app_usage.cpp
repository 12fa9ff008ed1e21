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

// The application is column 6. When the five columns before it hold no
// quote they are read in place by the row-head reader (which reads them as
// LCSVReaderRow does), and only the application is taken as a column: the
// weekly mails read every row of every staff member's week.
constexpr int kColumnsBeforeApplication = 5;

bool ApplicationStart(const std::string& line, std::size_t& start) {
  std::size_t pos = 0;
  for (int i = 0; i < kColumnsBeforeApplication; ++i) {
    pos = line.find(',', pos);
    if (pos == std::string::npos) return false;
    ++pos;
  }
  if (line.find('"') < pos) return false;
  start = pos;
  return true;
}

void AddDay(LKXAppUsageList& list, std::string_view email, LDateTime day, std::string_view only_application) {
  // Reading must not make a folder for an address that has none.
  const std::string path = KXUserActivityLogPath(email, day);
  if (path.empty()) return;
  LCSVFileReader reader(path, kKXLogReadLockMs);
  std::string start;
  std::string application;
  LKXLogRowHead head;
  while (reader.Next()) {
    const std::string& line = reader.Line();
    std::size_t from = 0;
    if (ApplicationStart(line, from)) {
      LKXReadLogRowHead(line, head);
      if (head.duration < 1 || head.duration > 86400) continue;
      if ((head.flags & 1) != 0 || (head.keys < 1 && head.clicks < 1)) continue;
      LCSVReaderRow rest(std::string_view(line).substr(from));
      rest.GetCol(application);
    } else {
      LCSVReaderRow row(line);
      row.GetCol(start);
      head.duration = row.GetCol();
      head.flags = row.GetCol();
      head.keys = row.GetCol();
      head.clicks = row.GetCol();
      row.GetCol(application);
      if (head.duration < 1 || head.duration > 86400) continue;
    }
    if (!LKXAppUsageRowCounts(head.flags, head.keys, head.clicks, application, only_application)) continue;
    list.AddApp(head.duration, head.keys, head.clicks, application);
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
  LDateTime day = first;
  LDateTime stop = last;
  if (!day.SetDayTime(LDayTime(0)) || !stop.SetDayTime(LDayTime(0))) return;
  while (day <= stop) {
    AddDay(list, email, day, only_application);
    const LDateTime before = day;
    if (!day.AddCalendarDays(1) || day <= before) break;
  }
}
