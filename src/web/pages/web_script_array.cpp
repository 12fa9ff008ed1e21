#include "web/pages/web_script_array.h"

#include "web/pages/setup_wizard.h"
#include "web/station_pages.h"

// The rows of the control panel, in the lookup order of kLWebScriptPlan
// (web_script_plan.h), which lists all 66 and marks the ones present here.
// Each page family adds its rows at their places in that order.
namespace {

const LWebScriptEntry kWebScripts[] = {
    {"wizardadmin", WLWizardAdmin},
    {"wizardconfirmemail", WLWizardConfirmEmail},
    {"wizardkavrixusage", WLWizardKavrixUsage},
    {"wizardsmtpsetting", WLWizardSmtpSetting},
    {"wizardaddusers", WLWizardAddUser},
    {"wizardconnectremote", WLWizardConnectRemote},
    {"wizardfinish", WLWizardFinish},
    {"sessioninvalid", WLSessionInvalidPage},
    {"searchlistpost", WLSearchListPost},
    {"connect", WLConnect},
    {"stationlogon", WLStationLogon},
};

}  // namespace

LWebScriptTable WebScriptArray() { return kWebScripts; }
