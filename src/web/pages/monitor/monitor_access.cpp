#include "web/pages/monitor/monitor_access.h"

#include "model/org_settings.h"
#include "model/users.h"
#include "web/http/http_responses.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/panel/current_user.h"

bool KXMonitorPageUser(LWebletForm& form, LKXUser& viewer, std::string_view seluser, const char* refusal,
                       std::string& email) {
  if (!KXGetCurrentUser(form, viewer)) {
    WLSendRaw(form, kKXCurrentUserNotFound);
    return false;
  }
  if (!KXChooseShownUser(viewer, seluser, email)) {
    WLSendRaw(form, kKXNotAuthorized);
    return false;
  }
  if (!KXViewerMaySee(viewer, email)) {
    WLSendRaw(form, refusal);
    return false;
  }
  return true;
}

bool KXMonitorDownloadAllowed(LWebletForm& form, std::string_view seluser, LKXUser& viewer, LKXUser& subject) {
  if (!KXOrgGetBool(LKXOrg::kModeQA)) return false;
  if (!KXGetCurrentUser(form, viewer)) return false;
  if (seluser.empty() || !KXGetUser(seluser, subject)) return false;
  return KXViewerMaySee(viewer, subject.GetEmail());
}

bool KXScreenshotsKept(LKXUser& subject) {
  return !subject.IsMonitor() && subject.GetFlag(kKXUserLogScreenShot);
}

bool KXActivityKept(LKXUser& subject) { return !subject.IsMonitor() && subject.GetFlag(kKXUserLogActivity); }

const std::string& WLAuditClient(LWebletForm& form) { return form.RemoteAddress(); }

void WLSendNotFound(LWebletForm& form) { (void)WLSendRaw(form, kLHttpNotFoundEmpty); }

bool KXReadDayTime(std::string_view text, std::int32_t& seconds) {
  if (text == "24:00:00") {
    seconds = LDateTime::kOneDay;
    return true;
  }
  if (text.size() != 8 || !LDayTime::ValidateDateHHCMMCSS(text)) return false;
  LDayTime t;
  t.SetText(text);
  seconds = t.value;
  return true;
}
