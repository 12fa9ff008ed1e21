#include "web/panel/confirmation_line.h"

#include <string>

#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/current_user.h"

void WLSetConfirmation(LWebletForm& form, std::string_view text) {
  form.Session().SetParm(kLConfirmationKey, text);
}

void WLWriteConfirmation(LWebletForm& form) {
  // Most pages have nothing waiting: look first, so that they leave the
  // session file unwritten.
  if (*form.Session().GetParm(kLConfirmationKey) == '\0') return;
  std::string text;
  WLWithdrawSessData(form, kLConfirmationKey, text, "");
  wfformat(form, "<div class=kxconfirm role=status>%H</div>", text);
}
