#pragma once
// The e-mail settings a fresh installation starts with. Delivery reads a
// missing key with the same meaning, but the settings dialogs (the setup
// wizard's SMTP step, the control window) show what is stored; writing the
// defaults once makes both agree from the first display on.
//
//   LEmailSetInstallDefaults();   // before showing the "Email" settings

#include <string_view>

struct LEmailDefaultSetting {
  std::string_view key;
  std::string_view value;
};

// Section "Email": every delivery setting with the value a missing key
// means. "ReplyToEmail" has no default and is not written.
inline constexpr std::string_view kLEmailSection = "Email";
inline constexpr LEmailDefaultSetting kLEmailInstallDefaults[] = {
    {"UseSendMail", "0"},  {"UseSMTPHost", "1"},  {"MailSMTPHost", ""},
    {"SMTPAuthOn", "0"},   {"SMTPUserName", ""},  {"SendDirect", "1"},
    {"UseSSL", "0"},
};
// The first-use marker.
inline constexpr std::string_view kLEmailDefaultsSetKey = "DefaultsSet";

// The first time (while "DefaultsSet" is missing or empty): writes each key
// of kLEmailInstallDefaults that is not stored yet (a value already there,
// such as a setting made before, is kept), then sets "DefaultsSet" to "1".
// Afterwards it changes nothing. False when a setting could not be written;
// the marker is then left unset, so the next call tries again.
bool LEmailSetInstallDefaults();

namespace LEmail {
// Called before each send: installs the defaults above the first time and
// otherwise changes nothing.
inline bool CheckInstallDefaults() { return LEmailSetInstallDefaults(); }
}  // namespace LEmail
