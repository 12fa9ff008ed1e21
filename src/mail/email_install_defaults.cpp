#include "mail/email_install_defaults.h"

#include "foundation/settings_sections.h"

bool LEmailSetInstallDefaults() {
  if (!LSettingGetString(kLEmailSection, kLEmailDefaultsSetKey).empty()) return true;
  bool written = true;
  for (const LEmailDefaultSetting& setting : kLEmailInstallDefaults) {
    // An existing key stays as it is, even an empty one: the office may
    // have cleared it on purpose, and the defaults must not undo that.
    if (LSettingTestFieldExists(kLEmailSection, setting.key)) continue;
    written = LSettingSetString(kLEmailSection, setting.key, setting.value) && written;
  }
  if (!written) return false;
  return LSettingSetString(kLEmailSection, kLEmailDefaultsSetKey, "1");
}
