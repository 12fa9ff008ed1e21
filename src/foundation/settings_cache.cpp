#include "foundation/settings_cache.h"

#include <mutex>
#include <unordered_map>

namespace {

// Far above the few hundred files of a large office; reaching it means files
// come and go (deleted records), and starting afresh bounds the memory.
constexpr std::size_t kMaxCachedFiles = 20000;

struct CachedFile {
  LFileStamp stamp;
  LSettingsEntriesPtr entries;
};

struct SettingsCache {
  std::mutex mutex;  // guards files
  std::unordered_map<std::string, CachedFile> files;
};

SettingsCache& Cache() {
  static SettingsCache* cache = new SettingsCache;  // never destroyed: used until exit
  return *cache;
}

}  // namespace

LSettingsEntriesPtr LSettingsCacheFind(const std::string& path, const LFileStamp& stamp) {
  SettingsCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  const auto found = cache.files.find(path);
  if (found == cache.files.end() || !(found->second.stamp == stamp)) return nullptr;
  return found->second.entries;
}

void LSettingsCacheStore(const std::string& path, const LFileStamp& stamp, LSettingsEntriesPtr entries) {
  if (stamp.IsUnset() || entries == nullptr) return;
  SettingsCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  if (cache.files.size() >= kMaxCachedFiles && cache.files.find(path) == cache.files.end()) cache.files.clear();
  cache.files[path] = CachedFile{stamp, std::move(entries)};
}

void LSettingsCacheForget(const std::string& path) {
  SettingsCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  cache.files.erase(path);
}

void LSettingsCacheClear() {
  SettingsCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  cache.files.clear();
}
