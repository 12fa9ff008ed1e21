#include "web/panel/web_dialog.h"

#include "foundation/text_limits.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/dialog_targets.h"
#include "web/panel/standard_header.h"

namespace {

std::string IdText(int id) { return std::to_string(id); }

// Which button was used. Pressing Enter in a field posts no "submit" in some
// browsers; the hidden "submitdef" copy of the OK label then counts as OK.
std::string PressedButton(const LWebletForm& form) {
  const char* submit = form.Params().GetParm("submit");
  if (*submit != '\0') return submit;
  return form.Params().GetParm("submitdef");
}

}  // namespace

LWebDialog::LWebDialog(LWebletForm& form, int widthPercent)
    : LWebDialogControls(form), widthPercent_(widthPercent) {}

void LWebDialog::SetTitle(std::string_view title) { title_ = LCutText(title); }

// ---- the cycle ----

void LWebDialog::Run() {
  if (!Authenticate()) return;
  const std::string pressed = PressedButton(Form());
  if (pressed.empty()) {
    InitDialog();
    _PrintDialog();
    return;
  }
  if (pressed == okLabel_) {
    if (!CmOk()) {
      _PrintDialog();
      return;
    }
    if (answered_) return;
  } else if (!cancelLabel_.empty() && pressed == cancelLabel_) {
    const std::string onCancel = LDialogTarget(Form(), Form().Params().GetParm("oncancel"));
    if (!onCancel.empty()) {
      WLRedirect(Form(), onCancel.c_str());
      return;
    }
  } else {
    _PrintDialog();
    return;
  }
  std::string target = LDialogTarget(Form(), Form().Params().GetParm("onok"));
  if (target.empty()) target = LDialogReferer(Form());
  if (target.empty()) target = kLDialogFallbackTarget;
  WLRedirect(Form(), target.c_str());
}

bool LWebDialog::RunInForm() {
  if (!Authenticate()) return false;
  const std::string submit = Form().Params().GetParm("submit");
  if (submit.empty()) {
    InitDialog();
    _PrintDialog();
    return false;
  }
  if (submit != okLabel_) {
    std::string target = LDialogTarget(Form(), Form().Params().GetParm("oncancel"));
    if (target.empty()) target = LDialogReferer(Form());
    if (target.empty()) target = kLDialogFallbackTarget;
    WLRedirect(Form(), target.c_str());
    return false;
  }
  if (CmOk()) return true;
  _PrintDialog();
  return false;
}

// ---- writing ----

void LWebDialog::_PrintDialog() {
  LWebletForm& form = Form();
  WLStandardHeaderCenter(form, NavLinks());
  WLSendRaw(form, "<br>");
  EnableControls();
  const std::string width = widthPercent_ != 0 ? IdText(widthPercent_) + "%" : std::string("auto");
  // The page name is a path of the URL table, escaped all the same.
  wfformat(form,
           "<table border=0 width=100%%><tr valign=top><td align=center><form action=\"%H\" "
           "method=post><table cellpadding=10 cellspacing=0 style=\"border: #bbbbbb 1px solid; "
           "width: %s\">",
           form.PageName(), width);
  if (!title_.empty()) {
    wfformat(form,
             "<tr><td style=\"padding:3px 6px 3px 6px; background-color:#e5ecf9; border:1px "
             "solid #cccccc;\"><b>%H</b></td></tr>",
             title_);
  }
  WLSendRaw(form, "<tr><td><table border=0 style=\"width: 100%\"><tr><td colspan=5></td></tr>");
  Generate();
  if (!Script().empty()) {
    wfformat(form, "\r\n<script type=\"text/javascript\"><!--\r\n%s\r\n//-->\r\n</script>",
             Script());
  }
  WLSendRaw(form, "</table></td></tr>");
  StartRow(1, 0);
  wfformat(form,
           "<div align=right><input type=submit name=submit width=50 value=\"%H\" "
           "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"><input type=hidden "
           "name=submitdef value=\"%H\">",
           okLabel_, okLabel_);
  if (!cancelLabel_.empty()) {
    wfformat(form,
             "<input type=submit name=submit value=\"%H\" style=\"font-family: "
             "Arial,sans-serif; font-size: 10pt;\">",
             cancelLabel_);
  }
  WLSendRaw(form, "</div></td></tr>");
  std::string onOk = form.Params().GetParm("onok");
  if (onOk.empty()) onOk = form.Headers().GetParm("Referer");
  std::string onCancel = form.Params().GetParm("oncancel");
  if (onCancel.empty()) onCancel = form.Headers().GetParm("Referer");
  wfformat(form,
           "<tr><td><input type=hidden name=onok value=\"%H\"><input type=hidden name=oncancel "
           "value=\"%H\"></form></td></tr></table></td></tr></table>",
           onOk, onCancel);
  WLStandardFooter(form);
}
