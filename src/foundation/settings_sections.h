#pragma once
// Folders of settings files, one file per named section, and the free
// functions through which the rest of the program reads its configuration:
//
//   int port = LSettingGetInt("Routing", "LocalPort", 89);
//   LSettingSetString("Settings", "WelcomeEmail", "1");
//
// LLocalSettings is the machine-wide folder (shared data folder), and
// LUserSettings the desktop user's own. Both are process-wide objects made
// on first use, so that a test can point KAVRIX_ROOT and HOME elsewhere
// before anything is read.

#include <list>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/settings_file.h"

class LSettingsSectionList {
 public:
  explicit LSettingsSectionList(std::string folder);
  virtual ~LSettingsSectionList() = default;
  LSettingsSectionList(const LSettingsSectionList&) = delete;
  LSettingsSectionList& operator=(const LSettingsSectionList&) = delete;

  const std::string& GetFolder() const { return folder_; }

  bool GetString(std::string_view section, std::string_view key, std::string_view def, std::string& out);
  bool TestFieldExists(std::string_view section, std::string_view key);
  // A null value removes the key.
  bool SetString(std::string_view section, std::string_view key, const char* value);
  bool SetString(std::string_view section, std::string_view key, std::string_view value);
  bool GetBool(std::string_view section, std::string_view key, bool def);
  bool SetBool(std::string_view section, std::string_view key, bool value);
  int GetInt(std::string_view section, std::string_view key, int def);
  bool SetInt(std::string_view section, std::string_view key, int value);

 private:
  struct Section {
    std::string name;  // as first asked for
    LSettingsFile file;
  };
  // The section's file object, added on first use. Caller holds mutex_.
  LSettingsFile& FindSection(std::string_view name);

  const std::string folder_;
  // Guards sections_ and every file operation done through them, so that
  // one file object is never used by two threads at once.
  std::mutex mutex_;
  std::list<Section> sections_;  // newest first
};

// The shared data folder (created on construction).
class LLocalSettings : public LSettingsSectionList {
 public:
  LLocalSettings();
  // The one process-wide object, made on first use.
  static LLocalSettings& Global();
};

// The desktop user's folder under HOME.
class LUserSettings : public LSettingsSectionList {
 public:
  LUserSettings();
  static LUserSettings& Global();
};

// Drops the process-wide settings objects and caches (the parsed-file cache
// and the LDatFile cache). Only for tests, while no other thread uses them.
void LSettingsResetForTests();

// The shared data folder, created when missing.
std::string LSettingsGetSharedFolder();
void LSettingsGetSharedFolder(std::string& out);
// The per-user settings folder, created when missing.
std::string LSettingsGetUserFolder();
// folder + "/" + lower-case name: the file of a section or record list.
std::string LSettingSectionFile(std::string_view folder, std::string_view name);

// Machine-wide settings (LLocalSettings).
bool _LSettingGetString(std::string_view section, std::string_view key, std::string_view def, std::string& out);
std::string LSettingGetString(std::string_view section, std::string_view key, std::string_view def = {});
bool LSettingSetString(std::string_view section, std::string_view key, const char* value);
bool LSettingSetString(std::string_view section, std::string_view key, std::string_view value);
bool LSettingGetBool(std::string_view section, std::string_view key, bool def);
bool LSettingSetBool(std::string_view section, std::string_view key, bool value);
int LSettingGetInt(std::string_view section, std::string_view key, int def);
bool LSettingSetInt(std::string_view section, std::string_view key, int value);
bool LSettingTestFieldExists(std::string_view section, std::string_view key);
// Passwords are kept as plain text, exactly like any other value.
bool LSettingGetPassword(std::string_view section, std::string_view key, std::string_view def, std::string& out);
bool LSettingSetPassword(std::string_view section, std::string_view key, const char* value);
bool LSettingSetPassword(std::string_view section, std::string_view key, std::string_view value);

// Per-user settings (LUserSettings).
bool _LUserSettingGetString(std::string_view section, std::string_view key, std::string_view def, std::string& out);
std::string LUserSettingGetString(std::string_view section, std::string_view key, std::string_view def = {});
bool LUserSettingSetString(std::string_view section, std::string_view key, const char* value);
bool LUserSettingSetString(std::string_view section, std::string_view key, std::string_view value);
int LUserSettingGetInt(std::string_view section, std::string_view key, int def);
bool LUserSettingSetInt(std::string_view section, std::string_view key, int value);
