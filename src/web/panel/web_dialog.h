#pragma once
// LWebDialog: a form of labelled controls (web_dialog_controls.h) with OK
// and Cancel buttons. InitDialog fills the control values before the first
// display, so a redisplay after a refused CmOk shows what the user typed.
//
// One request is one of: first display (no "submit" and no "submitdef"),
// a post that CmOk refused (written again with the message above the control
// on a pink row), or an accepted post (redirect to "onok").

#include <string>
#include <string_view>

#include "web/panel/web_dialog_controls.h"

class LWebDialog : public LWebDialogControls {
 public:
  static constexpr char kDefaultOkLabel[] = "  OK  ";
  static constexpr char kDefaultCancelLabel[] = "Cancel";

  // `widthPercent` 0: the dialog takes the width its content needs.
  LWebDialog(LWebletForm& form, int widthPercent);

  // The full cycle of one request (URL handlers).
  void Run();
  // The cycle inside another handler's logic: true when the user pressed OK
  // and CmOk accepted; the caller then writes the answer itself.
  bool RunInForm();

  virtual void InitDialog() {}
  // Validates and stores the posted data; true when accepted. A CmOk that
  // has answered the request itself (a redirect that sets the session
  // cookie) calls SetAnswered() and returns true: nothing more is written.
  virtual bool CmOk() { return true; }
  // Adds script that enables and disables controls (AddJScript).
  virtual void EnableControls() {}

  // ---- settings of the dialog ----
  void SetOkLabel(std::string_view label) { okLabel_ = label; }
  // Empty: no Cancel button.
  void SetCancelLabel(std::string_view label) { cancelLabel_ = label; }
  void SetTitle(std::string_view title);
  const std::string& OkLabel() const { return okLabel_; }
  const std::string& CancelLabel() const { return cancelLabel_; }
  const std::string& Title() const { return title_; }

  // Writes the whole dialog page.
  void _PrintDialog();

  // CmOk has written the response itself.
  void SetAnswered() { answered_ = true; }
  bool Answered() const { return answered_; }

 private:
  std::string okLabel_ = kDefaultOkLabel;
  std::string cancelLabel_ = kDefaultCancelLabel;
  std::string title_;
  int widthPercent_ = 0;
  bool answered_ = false;
};
