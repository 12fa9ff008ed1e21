#include "model/org_settings.h"

#include <algorithm>

#include "foundation/scan_numbers.h"

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
