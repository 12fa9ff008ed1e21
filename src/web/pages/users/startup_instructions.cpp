#include "web/pages/users/startup_instructions.h"

#include "maintenance/maintenance_wake.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/standard_header.h"
#include "web/text/uri_codec.h"

void WLStartupInstructionResend(LWebletForm& form, const std::vector<std::string>& emails) {
  // The session id travels in the links for browsers that drop the cookie
  // on a page reached by a post.
  const std::string id = LHrefValue(form.Session().Id());
  WLStandardHeader(form, "<a href=\"mainpage?sess=" + id + "\" class=toptext>Main</a>&nbsp;|&nbsp;<a href=\"logout?sess=" +
                             id + "\" class=toptext>Logout</a>&nbsp;|&nbsp;<a href=\"help/index.html\" target=\"_blank\" "
                             "class=toptext>Help</a>");
  WLSendRaw(form, kKXStartupSentText);
  WLSendRaw(form, "<div><ul>");
  bool any = false;
  for (const std::string& email : emails) {
    LKXUser user;
    if (!KXGetUser(email, user) || !user.SetFlag(kKXUserPasswordReq, true)) continue;
    any = true;
    wfformat(form, "<li>%H</li>", user.GetEmail());
  }
  WLSendRaw(form, "</ul>");
  WLSendRaw(form,
            "<input type=button value=\"  Go Back  \" onclick=\"window.history.go(-1)\" "
            "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"></div>");
  WLStandardFooter(form);
  if (!any) return;
  KXWakeMaintenance();
}
