#include "foundation/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "foundation/file_lock.h"
#include "foundation/file_modes.h"
#include "foundation/file_replace.h"
#include "foundation/paths.h"
#include "foundation/text_limits.h"
#include "foundation/unique_fd.h"

namespace {

const LSettingsEntries& EmptyEntries() {
  static const LSettingsEntries empty;
  return empty;
}

}  // namespace

LSettingsFile::LSettingsFile(std::string_view path) : path_(LCutText(path)) {}

LSettingsFile::LSettingsFile(const LSettingsFile& other) : path_(other.path_) {}

LSettingsFile& LSettingsFile::operator=(const LSettingsFile& other) {
  if (this != &other) ChangeFilePath(other.path_);
  return *this;
}

void LSettingsFile::ChangeFilePath(std::string_view path) {
  path_ = LCutText(path);
  entries_.reset();
  stamp_ = LFileStamp();
  held_ = false;
}

void LSettingsFile::HoldReading() {
  held_ = false;
  Refresh(kLSettingsReadLockMs);
  held_ = true;
}

const LSettingsEntries& LSettingsFile::Entries() const { return entries_ ? *entries_ : EmptyEntries(); }

bool LSettingsFile::Load(int fd) {
  LFileStamp stamp;
  // Stamped before reading: a change made while reading then shows as a
  // difference on the next access instead of hiding behind a newer stamp.
  if (!LFileStamp::OfFd(fd, stamp)) return false;
  std::string bytes;
  if (!LReadWholeFile(fd, bytes)) return false;
  auto parsed = std::make_shared<LSettingsEntries>();
  parsed->Parse(bytes);
  entries_ = std::move(parsed);
  stamp_ = stamp;
  LSettingsCacheStore(path_, stamp_, entries_);
  return true;
}

bool LSettingsFile::UseCachedOrLoad(int fd, const LFileStamp& stamp) {
  if (entries_ && stamp == stamp_) return true;
  if (LSettingsEntriesPtr cached = LSettingsCacheFind(path_, stamp)) {
    entries_ = std::move(cached);
    stamp_ = stamp;
    return true;
  }
  return Load(fd);
}

bool LSettingsFile::ReloadIfChanged(int fd) {
  LFileStamp stamp;
  if (!LFileStamp::OfFd(fd, stamp)) return false;
  return UseCachedOrLoad(fd, stamp);
}

void LSettingsFile::Refresh(int lock_timeout_ms) {
  if (held_) return;
  LFileStamp at_path;
  // A missing file leaves the list in memory as it is.
  if (!LFileStamp::OfPath(path_.c_str(), at_path)) return;
  // Unchanged: answered from memory without opening or locking the file.
  // Saves replace whole files, so there is no half-written state to wait for.
  if (entries_ && at_path == stamp_) return;
  if (LSettingsEntriesPtr cached = LSettingsCacheFind(path_, at_path)) {
    entries_ = std::move(cached);
    stamp_ = at_path;
    return;
  }
  LUniqueFd fd(open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return;
  LFileLockGuard lock(fd.Get(), LOCK_SH, lock_timeout_ms);
  ReloadIfChanged(fd.Get());
}

bool LSettingsFile::GetString(std::string_view key, std::string_view def, std::string& out) {
  const std::string wanted = LSettingsCleanKey(key);
  Refresh(kLSettingsReadLockMs);
  if (const std::string* value = Entries().Find(wanted)) {
    out = *value;
    return true;
  }
  out = LCutText(def);
  return false;
}

std::string LSettingsFile::GetString(std::string_view key, std::string_view def) {
  std::string value;
  GetString(key, def, value);
  return value;
}

bool LSettingsFile::TestFieldExists(std::string_view key) {
  const std::string wanted = LSettingsCleanKey(key);
  Refresh(kLSettingsTestLockMs);
  return Entries().FindNoCase(wanted) != nullptr;
}

bool LSettingsFile::Modify(const std::function<bool(LSettingsEntries&)>& change) {
  held_ = false;
  LFileUpdateLock lock;
  if (!lock.Acquire(path_, false, kLSettingsWriteLockMs)) {
    if (errno != ENOENT && errno != ENOTDIR) return false;  // ENOTDIR: no such file either
    LSettingsEntries nothing;
    if (!change(nothing)) return true;  // e.g. removing from a missing file
    if (!lock.Acquire(path_, true, kLSettingsWriteLockMs)) return false;
  }
  if (!UseCachedOrLoad(lock.Fd(), LFileStamp::FromStat(lock.Info()))) return false;
  LSettingsEntries updated = Entries();
  if (!change(updated)) return true;
  LFileStamp written;
  if (!LReplaceFileContents(path_, updated.Serialize(), &lock.Info(), &written)) return false;
  // Remembering the new stamp keeps this process from re-reading its own save.
  entries_ = std::make_shared<const LSettingsEntries>(std::move(updated));
  stamp_ = written;
  LSettingsCacheStore(path_, stamp_, entries_);
  return true;
}

bool LSettingsFile::SetString(std::string_view key, const char* value) {
  if (value != nullptr) return SetString(key, std::string_view(value));
  const std::string clean_key = LSettingsCleanKey(key);
  if (clean_key.empty()) return false;
  return Modify([&clean_key](LSettingsEntries& entries) { return entries.Remove(clean_key); });
}

bool LSettingsFile::SetString(std::string_view key, std::string_view value) {
  const std::string clean_key = LSettingsCleanKey(key);
  if (clean_key.empty()) return false;
  const std::string clean_value = LSettingsCleanValue(value);
  return Modify([&](LSettingsEntries& entries) { return entries.Set(clean_key, clean_value); });
}

bool LSettingsFile::GetBool(std::string_view key, bool def) {
  std::string value;
  GetString(key, {}, value);
  if (value.empty()) return def;
  return value[0] != '0';
}

bool LSettingsFile::SetBool(std::string_view key, bool value) { return SetString(key, value ? "1" : "0"); }

int LSettingsFile::GetInt(std::string_view key, int def) {
  std::string value;
  GetString(key, {}, value);
  if (value.empty()) return def;
  const long number = std::strtol(value.c_str(), nullptr, 10);
  if (number > INT_MAX) return INT_MAX;
  if (number < INT_MIN) return INT_MIN;
  return static_cast<int>(number);
}

bool LSettingsFile::SetInt(std::string_view key, int value) {
  return SetString(key, std::string_view(std::to_string(value)));
}

void LSettingsFile::OpenSubRecord(std::string_view name, LSettingsFile& out) const {
  out.ChangeFilePath(LSettingSubListSection(path_, name));
}

bool LSettingsFile::CreateSubRecord(std::string_view name, LSettingsFile& out) const {
  OpenSubRecord(name, out);
  LUniqueFd fd = LOpenCreating(out.GetPath(), O_RDWR | O_CREAT | O_EXCL);
  if (!fd) return false;
  LFileLockGuard lock(fd.Get(), LOCK_EX, kLSettingsWriteLockMs);
  return ftruncate(fd.Get(), 0) == 0;
}

std::string LSettingsFile::GetSubRecordPath(std::string_view name) const {
  return LFile::FilePathCat(path_ + "_", LSettingsLowerCase(name));
}

// Questions about a sub-record must not leave folders behind, so these use
// the path without creating its folder.
bool LSettingsFile::TestSubRecordExists(std::string_view name) const {
  return access(GetSubRecordPath(name).c_str(), F_OK) == 0;
}

bool LSettingsFile::DeleteSubRecord(std::string_view name) const {
  const std::string record = GetSubRecordPath(name);
  LSettingsCacheForget(record);
  const bool deleted = unlink(record.c_str()) == 0;
  rmdir((record + "_").c_str());  // fails, as it should, while not empty
  return deleted;
}

std::string LSettingSubListSection(std::string_view path, std::string_view name) {
  const std::string folder = std::string(path) + "_";
  LFile::CreateFolder(folder);
  return LFile::FilePathCat(folder, LSettingsLowerCase(name));
}
