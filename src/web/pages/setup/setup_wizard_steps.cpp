// Step 2 of the setup wizard (did the welcome e-mail arrive?), the choice of
// modules, and the routed but silent remote-working question.

#include "web/pages/setup/setup_wizard_steps.h"

#include "model/org_settings.h"
#include "web/http/weblet_form.h"
#include "web/pages/setup/setup_steps.h"
#include "web/pages/setup/setup_wizard_dialog.h"
#include "web/panel/access_rules.h"

namespace {

enum : int { kReceived = 101, kNotReceived = 102, kSkip = 103 };
enum : int { kModeQA = 101, kModeHours = 102, kModeLeave = 103 };

class LKXInstallWizardConfirmEmail : public LKXWizardDialog {
 public:
  explicit LKXInstallWizardConfirmEmail(LWebletForm& form)
      : LKXWizardDialog(form, "Setup Wizard: Step 2 of 3") {}

  void Generate() override {
    if (!WriteUnlessAllowed()) return;
    AddStatic("Please check your in box and see if you have received a \"Welcome\" email from KavrixServer");
    AddStatic("Please wait a minute or so and select check mail. If you don't receive an email select No.");
    AddRadioButton(kReceived, "Yes, I received the welcome email");
    AddRadioButton(kNotReceived, "No, I did not received a welcome email (Go to SMTP server setup)");
    AddRadioButton(kSkip, "Skip email settings for now");
  }

  bool CmOk() override {
    if (!WizardUserAllowed()) return false;
    const bool toSmtp = GetRadioCheck(kNotReceived) && !GetRadioCheck(kReceived);
    Form().Params().SetParm("onok", toSmtp ? "wizardsmtpsetting" : "wizardkavrixusage");
    // On "No" the step is done once the SMTP settings are stored.
    if (!toSmtp) KXMarkSetupStepDone(kKXSetupStepConfirmEmail);
    return true;
  }
};

struct LKXModeBox {
  int id;
  LKXOrg setting;
  const char* label;
  const char* explanation;
};

constexpr LKXModeBox kModeBoxes[] = {
    {kModeQA, LKXOrg::kModeQA, "Staff screen monitoring and computer usage analysis",
     "Records which programs and documents staff work with, takes screenshots and reports how "
     "computers are used."},
    {kModeHours, LKXOrg::kModeHours, "Staff hours tracking, calculation and reporting",
     "Works out the hours each person works from their computer activity and manual entries, "
     "and warns when hours fall short."},
    {kModeLeave, LKXOrg::kModeLeave, "Staff holiday, sick and other leave reporting",
     "Lets staff apply for leave, managers approve it, and keeps leave reports."},
};

class LKXWizardIntention : public LKXWizardDialog {
 public:
  explicit LKXWizardIntention(LWebletForm& form)
      : LKXWizardDialog(form, "Setup Wizard: KavrixServer Usage") {}

  void InitDialog() override {
    for (const LKXModeBox& box : kModeBoxes) SetCheck(box.id, KXOrgGetBool(box.setting));
  }

  void Generate() override {
    if (!WriteUnlessAllowed()) return;
    AddStatic(
        "What do you intend to use KavrixServer for? Please carefully consider what you want "
        "KavrixServer for and tick any boxes which apply.");
    for (const LKXModeBox& box : kModeBoxes) {
      AddCheckBox(box.id, box.label);
      SetIndent(1);
      AddStatic(box.explanation);
      SetIndent(0);
    }
    AddStatic(
        "These options just help to save time in configuration now and to simplify screens. They "
        "can be changed at any time later using the configuration page.");
  }

  bool CmOk() override {
    if (!WizardUserAllowed()) return false;
    bool any = false;
    for (const LKXModeBox& box : kModeBoxes) any = any || GetCheck(box.id);
    if (!any) {
      PopupControlDataInvalid(kModeQA, "Please select what you want to use KavrixServer for?");
      return false;
    }
    for (const LKXModeBox& box : kModeBoxes) (void)KXOrgSetBool(box.setting, GetCheck(box.id));
    KXMarkSetupStepDone(kKXSetupStepUsage);
    return true;
  }
};

}  // namespace

void WLWizardConfirmEmail(LWebletForm& form) {
  KXWizardSetTargets(form, "wizardkavrixusage", "wizardadmin");
  LKXInstallWizardConfirmEmail page(form);
  page.Run();
}

void WLWizardKavrixUsage(LWebletForm& form) {
  KXWizardSetTargets(form, "wizardaddusers", "wizardconfirmemail");
  LKXWizardIntention page(form);
  page.Run();
}

void WLWizardConnectRemote(LWebletForm& form) { WLSendNoContent(form); }
