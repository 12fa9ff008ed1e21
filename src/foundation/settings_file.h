#pragma once
// One settings file: key=value lines (format in doc/settings_files.md).
//
// The object is its path. Every call looks at the file on disk: a get
// re-reads it when another process changed it, a set rewrites it whole under
// an exclusive lock. Nothing is kept that is not on disk. Missing files read
// as empty.
//
// A null value (a `const char*` that is nullptr) means "no value": setting a
// key to null removes it. The std::string_view overloads always store.
//
// Not thread-safe: a thread works on its own object, or on a copy (copying
// is cheap: a copy takes the path only and loads on first use).

#include <functional>
#include <string>
#include <string_view>

#include "foundation/file_stamp.h"
#include "foundation/settings_cache.h"
#include "foundation/settings_parse.h"

// Lock time-outs of the settings operations, in milliseconds.
inline constexpr int kLSettingsReadLockMs = 2000;
inline constexpr int kLSettingsTestLockMs = 1000;
inline constexpr int kLSettingsWriteLockMs = 3000;

class LSettingsFile {
 public:
  LSettingsFile() = default;
  explicit LSettingsFile(std::string_view path);
  // A copy names the same file and starts with nothing loaded.
  LSettingsFile(const LSettingsFile& other);
  LSettingsFile& operator=(const LSettingsFile& other);
  virtual ~LSettingsFile() = default;

  const std::string& GetPath() const { return path_; }
  // Points the object at another file (cut to 259 bytes) and forgets what
  // was loaded.
  void ChangeFilePath(std::string_view path);

  // The value of the first entry whose key equals the lower-cased key, or
  // `def` (cut to 259 bytes). Returns whether the key was found.
  bool GetString(std::string_view key, std::string_view def, std::string& out);
  std::string GetString(std::string_view key, std::string_view def = {});
  // Whether a key exists, compared without regard to letter case (so that a
  // key typed into the file by hand in mixed case is found).
  bool TestFieldExists(std::string_view key);

  // Stores the value under the lower-cased key; null removes the key. The
  // file is rewritten only when something changed, and a missing file is not
  // created to remove a key from it. Returns false when the file could not be
  // written (the file is then unchanged) or the key is empty.
  bool SetString(std::string_view key, const char* value);
  bool SetString(std::string_view key, std::string_view value);

  // Empty or missing: `def`; a value starting with "0": false; else true.
  bool GetBool(std::string_view key, bool def);
  bool SetBool(std::string_view key, bool value);  // "1" / "0"
  // Empty or missing: `def`; otherwise strtol's reading (non-numbers read 0),
  // kept within the range of int.
  int GetInt(std::string_view key, int def);
  bool SetInt(std::string_view key, int value);  // "%d"

  // Replaces the entries with the parsed contents of the whole file behind
  // `fd` and remembers that file's stamp.
  bool Load(int fd);
  // Loads only when the file behind `fd` differs from the remembered stamp.
  bool ReloadIfChanged(int fd);

  // The general read-modify-write under the file's exclusive lock: `change`
  // gets the current entries and returns whether it changed them; only then
  // is the file saved. `change` may be called twice (first on an empty list
  // when the file is missing) and must depend on nothing but its argument.
  bool Modify(const std::function<bool(LSettingsEntries&)>& change);

  // Reads the file now and answers every later get of this object from that
  // one reading, without looking at the disk again, until a set or a new
  // path. For a walk that reads many keys of each record at one moment: it
  // saves a stat() per key and gives one consistent view of the record.
  void HoldReading();

  // Sub-records live in the folder named after this file's path followed by
  // "_"; names are lower-cased.
  // Points `out` at a sub-record (creating the folder, not the file).
  void OpenSubRecord(std::string_view name, LSettingsFile& out) const;
  // As OpenSubRecord, then creates the file; true only when this call
  // created it, which makes it the way to claim a new record.
  bool CreateSubRecord(std::string_view name, LSettingsFile& out) const;
  bool TestSubRecordExists(std::string_view name) const;
  // The path OpenSubRecord would give, without creating anything.
  std::string GetSubRecordPath(std::string_view name) const;
  // Deletes the sub-record's file, then its own sub-record folder when empty.
  bool DeleteSubRecord(std::string_view name) const;

 private:
  // Brings the entries up to date for reading (not while held).
  void Refresh(int lock_timeout_ms);
  bool UseCachedOrLoad(int fd, const LFileStamp& stamp);
  const LSettingsEntries& Entries() const;

  std::string path_;
  LSettingsEntriesPtr entries_;  // null until loaded
  LFileStamp stamp_;             // of the file entries_ came from
  bool held_ = false;            // HoldReading: gets answer from entries_ as they are
};

// Every settings record is a settings file; the second name reads better
// where a file is one member of a record list.
using LSettingsRecord = LSettingsFile;

// Path of sub-record `name` of the record at `path`: path + "_" + "/" +
// lower-case name. Creates the folder path + "_".
std::string LSettingSubListSection(std::string_view path, std::string_view name);
