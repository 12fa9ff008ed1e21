#pragma once
// "config": the organisation's rules on one dialog (modules, screenshot
// retention, leave approval, holiday detection, captions, remote working,
// work time, reports and the program lists). Administrators only.

#include "model/org_settings.h"
#include "web/panel/kx_web_dialog.h"

// "onok" and "oncancel" default to "mainpage".
void WLConfigPage(LWebletForm& form);

class LKXConfigPage : public LKXWebDialog {
 public:
  explicit LKXConfigPage(LWebletForm& form);
  // Refuses with the message page when the visitor is no administrator.
  bool Authenticate() override;
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;

 private:
  struct Posted;
  bool ReadNumbers(Posted& posted);
  bool ReadBreak(Posted& posted);
  bool ReadTexts(Posted& posted);
  bool Store(const Posted& posted);
};

inline constexpr char kLConfigNoCurrentUser[] = "Can not find current user!";
inline constexpr char kLConfigAdminOnly[] = "Only system administrator users can edit system settings!";
// Refusals of values the rules' readers could not use.
inline constexpr const char* kLConfigToleranceRange = kKXOrgPercentRange;
inline constexpr char kLConfigTimeFormat[] = "Please enter a valid time. Times must be in the format HH:MM:SS.";
inline constexpr char kLConfigBreakOrder[] = "The break cannot end before it starts.";
inline constexpr char kLConfigDateFormat[] = "Please enter a valid date. Dates must be in the format YYYY-MM-DD.";
inline constexpr char kLConfigDaysOfMonth[] =
    "Please enter the days of the month as numbers from 1 to 31 separated by commas.";
inline constexpr char kLConfigOneLine[] = "The program list must be written on one line.";
inline constexpr char kLConfigNotStored[] = "The settings could not be stored. Please try again.";
