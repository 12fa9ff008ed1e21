#include "web/pages/common/api_presence.h"

#include "model/org_settings.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/account/presence_view.h"
#include "web/pages/common/api_subjects.h"
#include "web/panel/api_access.h"
#include "web/text/json_writer.h"

void WLApiPresence(LWebletForm& form) {
  LKXUser viewer;
  if (!WLRequireApiToken(form, viewer)) return;
  WLAuditApiCall(form, viewer, "", "presence");
  std::vector<std::string> emails;
  if (!WLApiSubjects(form, viewer, "", emails)) return;
  const std::string self = viewer.GetEmail();
  LJsonWriter json;
  json.BeginObject().Key("users").BeginArray();
  for (const std::string& email : emails) {
    LKXUser user;
    if (!KXGetUser(email, user)) continue;
    // A monitor sees others without being seen, as on the stations.
    if (user.IsMonitor() && !KXSameName(email, self)) continue;
    const bool connected = user.GetFlag(kKXUserConnected);
    json.BeginObject().Member("email", email).Member("name", user.GetName());
    json.Member("connected", connected).Member("state", KXPresenceStateName(connected, user));
    const std::string since = LRfc3339Time(LDateTime(user.GetNumber(kKXUserStateChanged)));
    json.Key("since");
    if (since.empty()) {
      json.Null();
    } else {
      json.String(since);
    }
    const std::string caption = KXPresenceCaptionShown(user, connected) ? user.GetText(kKXUserLastCaption) : "";
    if (!caption.empty()) json.Member("caption", caption);
    json.EndObject();
  }
  json.EndArray().EndObject();
  WLSendJson(form, 200, json.Text());
}
