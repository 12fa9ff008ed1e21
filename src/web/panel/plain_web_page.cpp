#include "web/panel/plain_web_page.h"

#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"

bool LPlainWebPage::Authenticate() {
  if (form_.Session().IsValid()) return true;
  WLRedirect(form_, "logon");
  return false;
}
