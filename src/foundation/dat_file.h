#pragma once
// The older sectioned store: several "[name]" sections of key=value lines in
// one file (format in doc/settings_files.md). Only the desktop autostart
// settings use it.
//
// Files once read stay in a process-wide cache (under its own mutex) and are
// re-read when their stamp changes on disk, as settings files are. Setting a
// key rewrites the whole file at once, through a temporary file renamed over
// the old one (see file_replace.h). Removing a whole section is only noted;
// the next set or LDatFileFlush writes it.
//
// Section names and keys compare without regard to ASCII letter case; values
// are cut to 259 bytes.

#include <string>
#include <string_view>

class LDatFile {
 public:
  explicit LDatFile(std::string_view path);

  const std::string& GetPath() const { return path_; }

  // The value of `key` in `section`, or `def` (cut to 259 bytes); returns
  // whether the key was found.
  bool GetValue(std::string_view section, std::string_view key, std::string_view def, std::string& out);
  // A null value removes the key; a null key with a null value removes the
  // whole section (stored by the next write). A key cannot hold "=", CR or LF
  // nor start with "[", and a value ends at its first CR or LF.
  bool SetValue(std::string_view section, const char* key, const char* value);
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  // Writes the file when a removed section has not been stored yet.
  bool Flush();

  // Decimal text; a missing or empty value reads as `def`.
  long GetLong(std::string_view section, std::string_view key, long def);
  bool SetLong(std::string_view section, std::string_view key, long value);

 private:
  std::string path_;
};

bool LDatFileGetValue(std::string_view file, std::string_view section, std::string_view key, std::string_view def,
                      std::string& out);
bool LDatFileSetValue(std::string_view file, std::string_view section, const char* key, const char* value);
bool LDatFileFlush(std::string_view file);

// Forgets every cached file, unwritten changes included. Only for tests.
void LDatFileResetCache();
