#pragma once
// What the steps of the setup wizard share: the dialog frame (70% wide, no
// Cancel button, open to every browser), the check that the browser belongs
// to the administrator who runs the wizard, the default targets of OK and
// Cancel, and the logon with the session cookie that steps 1 and the finish
// page end with.

#include <string>
#include <string_view>

#include "web/panel/web_dialog.h"

class LWebletForm;

class LKXWizardDialog : public LWebDialog {
 public:
  static constexpr int kWidthPercent = 70;
  static constexpr char kNextLabel[] = "  Next  ";

  LKXWizardDialog(LWebletForm& form, std::string_view title, std::string_view okLabel = kNextLabel);

  // The steps decide access themselves (see WizardUserAllowed).
  bool Authenticate() override { return true; }

 protected:
  // The steps after the first change settings and users, and the finish
  // page logs the browser on as the primary user; so they serve only a
  // session whose user is an existing administrator: the one step 1 made,
  // or an administrator following the main page's to-do list.
  bool WizardUserAllowed();
  // For Generate: true when allowed; otherwise writes why not (the
  // session-expired text, or the administrator notice for a user who is
  // not one) and the step writes no controls.
  bool WriteUnlessAllowed();
  // One row holding `html` as it is (texts with markup of their own).
  void AddHtmlRow(std::string_view html);
};

// Sets the form fields "onok" and "oncancel" where the request left them
// empty: links (the main page's to-do list) may name their own.
void KXWizardSetTargets(LWebletForm& form, const char* onok, const char* oncancel);

// Starts a long session whose "user" is `email` and answers with the
// redirect to `target` that hands the browser its session cookie. When no
// session can be made, redirects to "logon" instead and returns false.
bool KXWizardLogOn(LWebletForm& form, std::string_view email, const char* target);
