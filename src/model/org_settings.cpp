#include "model/org_settings.h"

#include <algorithm>

#include "foundation/date_time.h"
#include "foundation/scan_numbers.h"

#include "foundation/settings_file.h"
#include "foundation/settings_parse.h"
#include "foundation/settings_sections.h"

namespace {

bool FlagDefault(const LKXOrgSetting& row) {
  if (row.default_text == nullptr) return KXOrgGetBool(row.default_from);
  return row.default_text[0] != '\0' && row.default_text[0] != '0';
}

int InRange(const LKXOrgSetting& row, int value) {
  if (row.below_one_is_off && value < 1) return 0;
  if (row.min > row.max) return value;
  return std::clamp(value, row.min, row.max);
}

bool ReadsTrue(std::string_view text) { return text.empty() || text[0] != '0'; }

const std::string* Pending(const std::vector<std::pair<LKXOrg, std::string>>& changes, LKXOrg id) {
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    if (it->first == id) return &it->second;
  }
  return nullptr;
}

// What `id` will read as once `changes` are written.
std::string TextAfter(const std::vector<std::pair<LKXOrg, std::string>>& changes, LKXOrg id) {
  const LKXOrgSetting& row = KXOrgSettingOf(id);
  const std::string* pending = Pending(changes, id);
  std::string value = pending != nullptr ? *pending : LSettingGetString(row.section, row.key);
  if (!value.empty()) return value;
  if (row.default_text == nullptr) return ReadsTrue(TextAfter(changes, row.default_from)) ? "1" : "0";
  return row.default_text;
}

// Whether `value` reads as `current` does for a setting of `row`'s type.
bool ReadsTheSame(const LKXOrgSetting& row, const std::string& value, const std::string& current) {
  switch (row.type) {
    case LKXOrgType::kFlag:
      return ReadsTrue(value) == ReadsTrue(current);
    case LKXOrgType::kInt:
      return InRange(row, LAtoi(value.c_str())) == InRange(row, LAtoi(current.c_str()));
    case LKXOrgType::kTime: {
      if (!LDayTime::ValidateDateHHCMMCSS(value) || !LDayTime::ValidateDateHHCMMCSS(current)) return value == current;
      LDayTime a, b;
      a.SetText(value);
      b.SetText(current);
      return a.value == b.value;
    }
    case LKXOrgType::kText:
    case LKXOrgType::kDate:
      return value == current;
  }
  return value == current;
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
  return InRange(row, LSettingGetInt(row.section, row.key, LAtoi(row.default_text != nullptr ? row.default_text : "")));
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

std::vector<LKXOrgChanges::Change> LKXOrgChanges::Resolved() const {
  std::vector<Change> changes = changes_;
  // A flag whose default follows another is judged after that one's edit.
  for (const bool following : {false, true}) {
    for (const Change& edit : edits_) {
      const LKXOrgSetting& row = KXOrgSettingOf(edit.first);
      const bool follows = row.type == LKXOrgType::kFlag && row.default_text == nullptr;
      if (follows != following) continue;
      if (!ReadsTheSame(row, edit.second, TextAfter(changes, edit.first))) changes.push_back(edit);
    }
  }
  return changes;
}

bool LKXOrgChanges::Write() const {
  const std::vector<Change> changes = Resolved();
  const std::string folder = LSettingsGetSharedFolder();
  std::vector<std::string_view> sections;
  for (const auto& change : changes) {
    const std::string_view section = KXOrgSettingOf(change.first).section;
    if (std::find(sections.begin(), sections.end(), section) == sections.end()) sections.push_back(section);
  }
  for (const std::string_view section : sections) {
    LSettingsFile file(LSettingSectionFile(folder, section));
    const bool written = file.Modify([&](LSettingsEntries& entries) {
      bool changed = false;
      for (const auto& [id, value] : changes) {
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
