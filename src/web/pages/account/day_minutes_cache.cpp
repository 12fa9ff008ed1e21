#include "web/pages/account/day_minutes_cache.h"

#include <sys/stat.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "foundation/settings_parse.h"
#include "hours/work_hours.h"
#include "model/core_data.h"
#include "model/org_settings.h"

namespace {

// Past this many entries the cache starts again: a week of 2,000 staff fits.
constexpr std::size_t kMaxEntries = 20000;

struct Entry {
  std::string fingerprint;
  std::int32_t minutes = 0;
};

std::mutex gMutex;
std::unordered_map<std::string, Entry> gEntries;

void AddFileState(std::string& out, const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    out += "-|";
    return;
  }
  out += std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ino) + "|";
}

// Everything the day's result depends on.
std::string Fingerprint(LKXUser& user, std::string_view email, LDateTime day) {
  std::string out;
  std::string path;
  AddFileState(out, LKXCoreData::GetUserActivityLogCSV(email, day, path) ? path : std::string());
  path.clear();
  AddFileState(out, LKXCoreData::GetUserManualLogCSV(email, day, path) ? path : std::string());
  out += std::to_string(KXOrgGetInt(LKXOrg::kToleranceTime)) + "|" + std::to_string(KXOrgGetInt(LKXOrg::kMaxBreakMins)) +
         "|" + (user.GetFlag(kKXUserUseStrictHours) ? "1" : "0") + (user.GetFlag(kKXUserTakeLunchTime) ? "1" : "0") +
         "|" + std::to_string(user.GetNumber(kKXUserLunchDurationMins));
  return out;
}

}  // namespace

std::int32_t KXCachedDayMinutes(LTimePeriodList& list, LKXUser& user, std::string_view email, LDateTime day) {
  std::string key = LSettingsLowerCase(email);
  key += "|" + day.GetDateText();
  std::string fingerprint = Fingerprint(user, email, day);
  {
    std::lock_guard<std::mutex> lock(gMutex);
    const auto found = gEntries.find(key);
    if (found != gEntries.end() && found->second.fingerprint == fingerprint) return found->second.minutes;
  }
  LWorkHoursData data;
  data.last_end = kKXSecondsPerDay;
  LKXReport::LKXCalculateHours(list, user, email, day, data);
  std::lock_guard<std::mutex> lock(gMutex);
  if (gEntries.size() >= kMaxEntries) gEntries.clear();
  gEntries[key] = Entry{std::move(fingerprint), data.total_mins};
  return data.total_mins;
}
