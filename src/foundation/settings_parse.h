#pragma once
// The parsed contents of one settings file and the rules by which its bytes
// turn into entries and back. The file format is described in
// doc/settings_files.md.
//
// Bytes are bytes: a NUL or any other control byte inside a key or value is
// kept as it is (only bytes up to 0x20 at the start of a line are skipped).
// What cannot survive a write and a re-read is refused or cut on the way in
// (see LSettingsCleanKey / LSettingsCleanValue), so that a value typed into a
// web form can never add lines, and thereby keys, to a file.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ASCII lower case; other bytes (UTF-8 included) are left alone, so that the
// result does not depend on the process locale.
std::string LSettingsLowerCase(std::string_view text);
bool LSettingsEqualNoCase(std::string_view a, std::string_view b);

// The key as a reader would find it after "%s=%s\r\n": lower case, leading
// bytes up to 0x20 dropped, ended at the first "=", CR or LF, cut to 259
// bytes. An empty result means the key cannot be stored.
std::string LSettingsCleanKey(std::string_view key);
// The value as a reader would find it: leading "=" dropped (the reader skips
// every "=" after the key), ended at the first CR or LF, cut to 259 bytes.
std::string LSettingsCleanValue(std::string_view value);

// An ordered list of (key, value) in file order. Lookups find the first
// entry with a key; a key that occurs twice in a file yields two entries.
class LSettingsEntries {
 public:
  using Entry = std::pair<std::string, std::string>;

  // Replaces the entries with those parsed from a whole file's bytes.
  void Parse(std::string_view bytes);
  // The file's bytes: "%s=%s\r\n" per entry, in order.
  std::string Serialize() const;

  // Exact key comparison (keys are stored lower case).
  const std::string* Find(std::string_view key) const;
  // Key comparison without regard to ASCII letter case.
  const std::string* FindNoCase(std::string_view key) const;

  // Replaces the first entry's value or appends a new entry; returns false
  // when the key already held exactly this value (nothing changed).
  bool Set(std::string_view key, std::string_view value);
  // Removes every entry with the key, so that no older duplicate shows
  // through afterwards; returns whether anything was removed.
  bool Remove(std::string_view key);

  const std::vector<Entry>& Items() const { return items_; }
  bool Empty() const { return items_.empty(); }

 private:
  std::vector<Entry> items_;
};
