#include "foundation/dat_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/file_lock.h"
#include "foundation/file_replace.h"
#include "foundation/file_stamp.h"
#include "foundation/settings_parse.h"
#include "foundation/text_limits.h"
#include "foundation/unique_fd.h"

namespace {

constexpr int kDatReadLockMs = 2000;
constexpr int kDatWriteLockMs = 1000;
// Longer lines are cut here; the rest of such a line is dropped rather than
// read as a line of its own.
constexpr std::size_t kDatMaxLine = 551;

struct DatSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
};

struct DatData {
  std::vector<DatSection> sections;
  LFileStamp stamp;
  bool loaded = false;
  // Sections removed but not yet written; applied again after a re-read so
  // that another process's write does not bring them back.
  std::vector<std::string> removed;
};

struct DatCache {
  std::mutex mutex;  // guards files and every file operation on them
  std::unordered_map<std::string, DatData> files;
};

DatCache& Cache() {
  static DatCache* cache = new DatCache;  // never destroyed: used until exit
  return *cache;
}

DatSection* FindSection(DatData& data, std::string_view name) {
  for (DatSection& section : data.sections) {
    if (LSettingsEqualNoCase(section.name, name)) return &section;
  }
  return nullptr;
}

void ParseLine(std::string_view line, DatData& data, DatSection*& current) {
  if (line.size() > kDatMaxLine) line = line.substr(0, kDatMaxLine);
  if (!line.empty() && line[0] == '[') {
    std::string_view name = line.substr(1);
    name = name.substr(0, name.find(']'));
    current = FindSection(data, LCutText(name));
    if (current == nullptr) {
      data.sections.push_back(DatSection{LCutText(name), {}});
      current = &data.sections.back();
    }
    return;
  }
  const std::size_t equals = line.find('=');
  if (current == nullptr || equals == std::string_view::npos || equals == 0) return;
  current->entries.emplace_back(LCutText(line.substr(0, equals)), LCutText(line.substr(equals + 1)));
}

void Parse(std::string_view bytes, DatData& data) {
  data.sections.clear();
  DatSection* current = nullptr;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::string_view line = bytes.substr(0, end);
    if (!line.empty()) ParseLine(line, data, current);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
}

std::string Serialize(const DatData& data) {
  std::string bytes;
  for (const DatSection& section : data.sections) {
    bytes += "[" + section.name + "]\r\n";
    for (const auto& [key, value] : section.entries) bytes += key + "=" + value + "\r\n";
    bytes += "\r\n";
  }
  return bytes;
}

void ApplyRemovals(DatData& data) {
  for (const std::string& name : data.removed) {
    std::erase_if(data.sections, [&name](const DatSection& s) { return LSettingsEqualNoCase(s.name, name); });
  }
}

bool LoadFrom(int fd, DatData& data) {
  LFileStamp stamp;
  if (!LFileStamp::OfFd(fd, stamp)) return false;
  if (data.loaded && stamp == data.stamp) return true;
  std::string bytes;
  if (!LReadWholeFile(fd, bytes)) return false;
  Parse(bytes, data);
  ApplyRemovals(data);
  data.stamp = stamp;
  data.loaded = true;
  return true;
}

// Brings the cached data up to date for reading; a missing file leaves what
// is in memory.
void RefreshForRead(const std::string& path, DatData& data) {
  LFileStamp at_path;
  if (!LFileStamp::OfPath(path.c_str(), at_path)) return;
  if (data.loaded && at_path == data.stamp) return;
  LUniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return;
  LFileLockGuard lock(fd.Get(), LOCK_SH, kDatReadLockMs);
  LoadFrom(fd.Get(), data);
}

using DatChange = std::optional<std::pair<std::string, std::optional<std::string>>>;

void ApplyChange(DatData& data, std::string_view section_name, const DatChange& change) {
  if (!change) return;
  DatSection* section = FindSection(data, section_name);
  const auto& [key, value] = *change;
  if (section == nullptr) {
    if (!value) return;
    data.sections.push_back(DatSection{LCutText(section_name), {}});
    section = &data.sections.back();
  }
  auto& entries = section->entries;
  if (!value) {
    std::erase_if(entries, [&key](const auto& entry) { return LSettingsEqualNoCase(entry.first, key); });
    return;
  }
  for (auto& entry : entries) {
    if (LSettingsEqualNoCase(entry.first, key)) {
      entry.second = *value;
      return;
    }
  }
  entries.emplace_back(key, *value);
}

// The whole write: lock, re-read when changed, apply, replace the file.
bool WriteWith(const std::string& path, DatData& data, std::string_view section, const DatChange& change) {
  LFileUpdateLock lock;
  if (!lock.Acquire(path, true, kDatWriteLockMs)) return false;
  if (!LoadFrom(lock.Fd(), data)) return false;
  DatData updated = data;
  ApplyChange(updated, section, change);
  LFileStamp written;
  if (!LReplaceFileContents(path, Serialize(updated), &lock.Info(), &written)) return false;
  data = std::move(updated);
  data.stamp = written;
  data.removed.clear();
  return true;
}

// What a key or section name may be so that it reads back as itself.
std::string CleanName(std::string_view text, const char* stops) {
  return LCutText(text.substr(0, text.find_first_of(stops)));
}

}  // namespace

LDatFile::LDatFile(std::string_view path) : path_(LCutText(path)) {}

bool LDatFile::GetValue(std::string_view section, std::string_view key, std::string_view def, std::string& out) {
  DatCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  DatData& data = cache.files[path_];
  RefreshForRead(path_, data);
  if (DatSection* found = FindSection(data, section)) {
    for (const auto& [name, value] : found->entries) {
      if (LSettingsEqualNoCase(name, key)) {
        out = value;
        return true;
      }
    }
  }
  out = LCutText(def);
  return false;
}

bool LDatFile::SetValue(std::string_view section, const char* key, const char* value) {
  if (key == nullptr) {
    if (value != nullptr) return false;
    DatCache& cache = Cache();
    std::lock_guard<std::mutex> hold(cache.mutex);
    DatData& data = cache.files[path_];
    RefreshForRead(path_, data);
    data.removed.emplace_back(CleanName(section, "]\r\n"));
    ApplyRemovals(data);
    return true;
  }
  if (value != nullptr) return SetValue(section, std::string_view(key), std::string_view(value));
  const std::string clean_key = CleanName(key, "=\r\n");
  if (clean_key.empty() || clean_key[0] == '[') return false;
  DatCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  return WriteWith(path_, cache.files[path_], CleanName(section, "]\r\n"), DatChange{{clean_key, std::nullopt}});
}

bool LDatFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string clean_key = CleanName(key, "=\r\n");
  if (clean_key.empty() || clean_key[0] == '[') return false;
  DatCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  return WriteWith(path_, cache.files[path_], CleanName(section, "]\r\n"),
                   DatChange{{clean_key, CleanName(value, "\r\n")}});
}

bool LDatFile::Flush() {
  DatCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  const auto found = cache.files.find(path_);
  if (found == cache.files.end() || found->second.removed.empty()) return true;
  return WriteWith(path_, found->second, {}, std::nullopt);
}

long LDatFile::GetLong(std::string_view section, std::string_view key, long def) {
  std::string value;
  GetValue(section, key, {}, value);
  if (value.empty()) return def;
  return std::strtol(value.c_str(), nullptr, 10);
}

bool LDatFile::SetLong(std::string_view section, std::string_view key, long value) {
  return SetValue(section, key, std::string_view(std::to_string(value)));
}

bool LDatFileGetValue(std::string_view file, std::string_view section, std::string_view key, std::string_view def,
                      std::string& out) {
  return LDatFile(file).GetValue(section, key, def, out);
}

bool LDatFileSetValue(std::string_view file, std::string_view section, const char* key, const char* value) {
  return LDatFile(file).SetValue(section, key, value);
}

bool LDatFileFlush(std::string_view file) { return LDatFile(file).Flush(); }

void LDatFileResetCache() {
  DatCache& cache = Cache();
  std::lock_guard<std::mutex> hold(cache.mutex);
  cache.files.clear();
}
