#include "foundation/settings_sections.h"

#include "foundation/dat_file.h"
#include "foundation/paths.h"
#include "foundation/settings_cache.h"
#include "foundation/settings_parse.h"

namespace {

// Guards the two pointers. The objects are made on first use and live until
// exit (or a test's reset): threads still running at exit may use them.
std::mutex gSettingsGlobalsMutex;
LLocalSettings* gLocalSettings = nullptr;
LUserSettings* gUserSettings = nullptr;

}  // namespace

LSettingsSectionList::LSettingsSectionList(std::string folder) : folder_(std::move(folder)) {}

LSettingsFile& LSettingsSectionList::FindSection(std::string_view name) {
  for (Section& section : sections_) {
    if (LSettingsEqualNoCase(section.name, name)) return section.file;
  }
  sections_.push_front(Section{std::string(name), LSettingsFile(LSettingSectionFile(folder_, name))});
  return sections_.front().file;
}

bool LSettingsSectionList::GetString(std::string_view section, std::string_view key, std::string_view def,
                                     std::string& out) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).GetString(key, def, out);
}

bool LSettingsSectionList::TestFieldExists(std::string_view section, std::string_view key) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).TestFieldExists(key);
}

bool LSettingsSectionList::SetString(std::string_view section, std::string_view key, const char* value) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).SetString(key, value);
}

bool LSettingsSectionList::SetString(std::string_view section, std::string_view key, std::string_view value) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).SetString(key, value);
}

bool LSettingsSectionList::GetBool(std::string_view section, std::string_view key, bool def) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).GetBool(key, def);
}

bool LSettingsSectionList::SetBool(std::string_view section, std::string_view key, bool value) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).SetBool(key, value);
}

int LSettingsSectionList::GetInt(std::string_view section, std::string_view key, int def) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).GetInt(key, def);
}

bool LSettingsSectionList::SetInt(std::string_view section, std::string_view key, int value) {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindSection(section).SetInt(key, value);
}

LLocalSettings::LLocalSettings() : LSettingsSectionList(LSettingsGetSharedFolder()) {}

LLocalSettings& LLocalSettings::Global() {
  std::lock_guard<std::mutex> hold(gSettingsGlobalsMutex);
  if (gLocalSettings == nullptr) gLocalSettings = new LLocalSettings;
  return *gLocalSettings;
}

LUserSettings::LUserSettings() : LSettingsSectionList(LSettingsGetUserFolder()) {}

LUserSettings& LUserSettings::Global() {
  std::lock_guard<std::mutex> hold(gSettingsGlobalsMutex);
  if (gUserSettings == nullptr) gUserSettings = new LUserSettings;
  return *gUserSettings;
}

void LSettingsResetForTests() {
  {
    std::lock_guard<std::mutex> hold(gSettingsGlobalsMutex);
    delete gLocalSettings;
    gLocalSettings = nullptr;
    delete gUserSettings;
    gUserSettings = nullptr;
  }
  LSettingsCacheClear();
  LDatFileResetCache();
}

std::string LSettingsGetSharedFolder() {
  const std::string folder = LFile::GetSharedDataFolderApp();
  LFile::CreateFolder(folder);
  return folder;
}

void LSettingsGetSharedFolder(std::string& out) { out = LSettingsGetSharedFolder(); }

std::string LSettingsGetUserFolder() { return LFile::GetUserDataFolderApp(); }

std::string LSettingSectionFile(std::string_view folder, std::string_view name) {
  return LFile::FilePathCat(folder, LSettingsLowerCase(name));
}

bool _LSettingGetString(std::string_view section, std::string_view key, std::string_view def, std::string& out) {
  return LLocalSettings::Global().GetString(section, key, def, out);
}

std::string LSettingGetString(std::string_view section, std::string_view key, std::string_view def) {
  std::string value;
  LLocalSettings::Global().GetString(section, key, def, value);
  return value;
}

bool LSettingSetString(std::string_view section, std::string_view key, const char* value) {
  return LLocalSettings::Global().SetString(section, key, value);
}

bool LSettingSetString(std::string_view section, std::string_view key, std::string_view value) {
  return LLocalSettings::Global().SetString(section, key, value);
}

bool LSettingGetBool(std::string_view section, std::string_view key, bool def) {
  return LLocalSettings::Global().GetBool(section, key, def);
}

bool LSettingSetBool(std::string_view section, std::string_view key, bool value) {
  return LLocalSettings::Global().SetBool(section, key, value);
}

int LSettingGetInt(std::string_view section, std::string_view key, int def) {
  return LLocalSettings::Global().GetInt(section, key, def);
}

bool LSettingSetInt(std::string_view section, std::string_view key, int value) {
  return LLocalSettings::Global().SetInt(section, key, value);
}

bool LSettingTestFieldExists(std::string_view section, std::string_view key) {
  return LLocalSettings::Global().TestFieldExists(section, key);
}

bool LSettingGetPassword(std::string_view section, std::string_view key, std::string_view def, std::string& out) {
  return _LSettingGetString(section, key, def, out);
}

bool LSettingSetPassword(std::string_view section, std::string_view key, const char* value) {
  return LSettingSetString(section, key, value);
}

bool LSettingSetPassword(std::string_view section, std::string_view key, std::string_view value) {
  return LSettingSetString(section, key, value);
}

bool _LUserSettingGetString(std::string_view section, std::string_view key, std::string_view def, std::string& out) {
  return LUserSettings::Global().GetString(section, key, def, out);
}

std::string LUserSettingGetString(std::string_view section, std::string_view key, std::string_view def) {
  std::string value;
  LUserSettings::Global().GetString(section, key, def, value);
  return value;
}

bool LUserSettingSetString(std::string_view section, std::string_view key, const char* value) {
  return LUserSettings::Global().SetString(section, key, value);
}

bool LUserSettingSetString(std::string_view section, std::string_view key, std::string_view value) {
  return LUserSettings::Global().SetString(section, key, value);
}

int LUserSettingGetInt(std::string_view section, std::string_view key, int def) {
  return LUserSettings::Global().GetInt(section, key, def);
}

bool LUserSettingSetInt(std::string_view section, std::string_view key, int value) {
  return LUserSettings::Global().SetInt(section, key, value);
}
