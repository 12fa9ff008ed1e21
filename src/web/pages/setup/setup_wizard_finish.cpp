// The last page of the setup wizard: what to do next, and the button that
// logs the administrator on as the primary user.

#include "web/pages/setup/setup_wizard_finish.h"

#include <string>

#include "engine/https_settings.h"
#include "engine/port_settings.h"
#include "engine/settings_change.h"
#include "foundation/settings_sections.h"
#include "model/org_settings.h"
#include "routing/panel_addresses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/account/station_installer.h"
#include "web/pages/setup/https_port_field.h"
#include "web/pages/setup/setup_steps.h"
#include "web/pages/setup/setup_wizard_dialog.h"
#include "web/pages/setup/setup_wizard_users.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kHttpsPortId = 120;

constexpr char kFinishStart[] =
    "<p>Congratulations. The initial setup of KavrixServer is complete.<p><i>What is Next?</i>"
    "<p><u>You</u><p><ol><li>";
// How to get the installer (markup of our own), address, port, the primary
// user's e-mail (escaped: typed in step 1).
constexpr char kInstallStationFormat[] =
    "Install KavrixStation on your own computer: %s When it asks for its logon details, enter<br>"
    "Server: %s:%d<br>Email: %H<br>Password: the password you chose in step 1.</li>";
constexpr char kDownloadInstaller[] = "download <a href=\"kxtasetup.exe\">kxtasetup.exe</a> and run it.";
constexpr char kExploreStation[] =
    "<li>Explore KavrixStation: it records your working time and activity and shows which of "
    "your team mates are online.</li>";
constexpr char kOpenPanelFormat[] =
    "<li>Open the web control panel from any computer in the office at <a "
    "href=\"http://%s:%d/logon\">http://%s:%d/logon</a> and log on with the same email and "
    "password.</li></ol>";
constexpr char kOtherStaff[] =
    "<p><u>Other staff</u><p>Each user you added receives an email with their password. Install "
    "KavrixStation (kxtasetup.exe) on their computers with the same server details; once they "
    "have logged on, their work is recorded. Add more users at any time with \"Add new user\" "
    "on the main page.";
constexpr char kModeQAText[] =
    "<p><b>Screen monitoring:</b> screenshots and program usage appear in the activity reports "
    "of the main page a few minutes after a station has logged on.";
constexpr char kModeHoursText[] =
    "<p><b>Hours:</b> worked hours are calculated from each day's activity; staff can add manual "
    "entries for work away from the computer, and the weekly report shows who is short of hours.";
constexpr char kModeLeaveText[] =
    "<p><b>Leave:</b> staff apply for leave on the main page; their managers approve it, and "
    "public holidays are set under System Settings.";
constexpr char kNoModesText[] =
    "<p>No modules are switched on yet: choose them under \"Change system configuration\" on "
    "the main page.";

class LKXWizardFinish : public LKXWizardDialog {
 public:
  explicit LKXWizardFinish(LWebletForm& form)
      : LKXWizardDialog(form, "Initial Setup: Finished!", "  Finish  ") {}

  void InitDialog() override { SetInt(kHttpsPortId, LReadHttpsPortSetting()); }

  void Generate() override {
    if (!WriteUnlessAllowed()) return;
    std::string primary;
    (void)KXFindPrimaryUser(primary);
    // The addresses the new users' logon-details mails give.
    const LKXPanelAddresses addresses = KXReadPanelAddresses();
    const std::string& address = addresses.private_address;
    const int port = addresses.local_port;
    StartRow(-1, 1);
    WLSendRaw(Form(), kFinishStart);
    const std::string installer =
        KXStationInstallerPresent() ? std::string(kDownloadInstaller) : KXStationInstallerMissingHtml();
    wfformat(Form(), kInstallStationFormat, installer, address, port, primary);
    WLSendRaw(Form(), kExploreStation);
    wfformat(Form(), kOpenPanelFormat, address, port, address, port);
    WLSendRaw(Form(), kOtherStaff);
    WriteModeTexts();
    WLSendRaw(Form(), "</td></tr>");
    StartGroupBox("Encrypt the control panel (HTTPS)");
    AddInput(kHttpsPortId, kKXHttpsPortLabel, 6);
    EndGroupBox();
    AddStatic(kKXHttpsPortNote);
  }

  // Set by CmOk when "HttpsPort" changed: the listeners must be restarted
  // once the answer has gone out.
  bool HttpsPortChanged() const { return httpsChanged_; }

  bool CmOk() override {
    if (!WizardUserAllowed()) return false;
    const int httpsPort = KXHttpsPortIn(GetControlValue(kHttpsPortId), LReadLocalPortSetting());
    if (httpsPort < 0) {
      PopupControlDataInvalid(kHttpsPortId, kKXHttpsPortInvalid);
      return false;
    }
    httpsChanged_ = KXStoreHttpsPort(httpsPort);
    std::string primary, current;
    if (KXFindPrimaryUser(primary) && KXGetCurrentUserEmail(Form(), current)) {
      // Recorded before the answer goes out: the browser asks for the main
      // page as soon as it has the redirect, and that page reads the record.
      (void)LSettingSetString("Settings", "SetupWizardRun", "0");
      KXMarkSetupStepDone(kKXSetupStepFinish);
      // The administrator who finishes stays himself: from the main page
      // another administrator may finish a wizard the primary user began.
      KXWizardLogOn(Form(), current, "mainpage");
    } else {
      // Nobody to log on as: the wizard starts again from the first step.
      WLRedirect(Form(), "wizardadmin");
    }
    SetAnswered();
    return true;
  }

 private:
  bool httpsChanged_ = false;

  void WriteModeTexts() {
    const bool qa = KXOrgGetBool(LKXOrg::kModeQA);
    const bool hours = KXOrgGetBool(LKXOrg::kModeHours);
    const bool leave = KXOrgGetBool(LKXOrg::kModeLeave);
    if (qa) WLSendRaw(Form(), kModeQAText);
    if (hours) WLSendRaw(Form(), kModeHoursText);
    if (leave) WLSendRaw(Form(), kModeLeaveText);
    if (!qa && !hours && !leave) WLSendRaw(Form(), kNoModesText);
  }
};

}  // namespace

void WLWizardFinish(LWebletForm& form) {
  KXWizardSetTargets(form, "mainpage", "wizardaddusers");
  LKXWizardFinish page(form);
  page.Run();
  if (page.HttpsPortChanged()) {
    // The listeners restart and cut their connections: the answer that
    // says where the panel went must have left before.
    (void)form.FinishResponse();
    LRequestSettingsChanged();
  }
}
