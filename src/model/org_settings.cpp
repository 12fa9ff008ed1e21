#include "model/org_settings.h"

#include <algorithm>

#include "foundation/scan_numbers.h"

#include "foundation/settings_file.h"
#include "foundation/settings_parse.h"
#include "foundation/settings_sections.h"

namespace {

bool FlagDefault(const LKXOrgSetting& row) {
  if (row.default_text == nullptr) return KXOrgGetBool(row.default_from);
  return row.default_text[0] != '\0' && row.default_text[0] != '0';
}

int ReadInt(const LKXOrgSetting& row, int def) {
  const int value = LSettingGetInt(row.section, row.key, def);
  if (row.min > row.max) return value;
  return std::clamp(value, row.min, row.max);
}

}  // namespace

const LKXOrgSetting& KXOrgSettingOf(LKXOrg id) { return kKXOrgSettings[static_cast<std::size_t>(id)]; }

bool KXOrgHasRange(LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return row.min <= row.max;
}

bool KXOrgInRange(LKXOrg id, int value) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return row.min > row.max || (value >= row.min && value <= row.max);
}

std::string KXOrgGetText(LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  std::string value = LSettingGetString(row.section, row.key);
  if (!value.empty()) return value;
  if (row.default_text == nullptr) return FlagDefault(row) ? "1" : "0";
  return row.default_text;
}

bool KXOrgGetBool(LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  const std::string value = LSettingGetString(row.section, row.key);
  if (value.empty()) return FlagDefault(row);
  return value[0] != '0';
}

int KXOrgGetInt(LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return ReadInt(row, LAtoi(row.default_text != nullptr ? row.default_text : ""));
}

int KXOrgGetHoursToleranceTime() {
  return ReadInt(KXOrgSettingOf(LKXOrg::kToleranceTime), kKXHoursToleranceTimeDefault);
}

bool KXOrgSetText(LKXOrg id, std::string_view value) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return LSettingSetString(row.section, row.key, value);
}

bool KXOrgSetBool(LKXOrg id, bool value) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return LSettingSetBool(row.section, row.key, value);
}

bool KXOrgSetInt(LKXOrg id, int value) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return LSettingSetInt(row.section, row.key, value);
}

bool KXOrgClear(LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  return LSettingSetString(row.section, row.key, static_cast<const char*>(nullptr));
}

void LKXOrgChanges::SetText(LKXOrg id, std::string_view value) { changes_.emplace_back(id, std::string(value)); }

bool LKXOrgChanges::Write() const {
  const std::string folder = LSettingsGetSharedFolder();
  std::vector<std::string_view> sections;
  for (const auto& change : changes_) {
    const std::string_view section = KXOrgSettingOf(change.first).section;
    if (std::find(sections.begin(), sections.end(), section) == sections.end()) sections.push_back(section);
  }
  for (const std::string_view section : sections) {
    LSettingsFile file(LSettingSectionFile(folder, section));
    const bool written = file.Modify([&](LSettingsEntries& entries) {
      bool changed = false;
      for (const auto& [id, value] : changes_) {
        const LKXOrgSetting& row = KXOrgSettingOf(id);
        if (section != row.section) continue;
        changed = entries.Set(LSettingsCleanKey(row.key), LSettingsCleanValue(value)) || changed;
      }
      return changed;
    });
    if (!written) return false;
  }
  return true;
}
