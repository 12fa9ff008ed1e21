#include "model/org_settings.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/api_access.h"
#include "web/json_writer.h"
#include "web/pages/api_pages.h"
#include "web/weblet_form.h"

namespace {

const char* StateName(bool connected, LKXUser& user) {
  if (!connected) return "offline";
  if (user.GetFlag(kKXUserStatePrivate)) return "private";
  return user.GetFlag(kKXUserStateActive) ? "active" : "idle";
}

// Whether others may read the user's window caption: the organisation shows
// all (0), none (-1) or leaves it to each user's "ShowDetails" (1). Private
// time never shows one, as the stations show "*" for it.
bool CaptionShown(LKXUser& user, bool connected) {
  if (connected && user.GetFlag(kKXUserStatePrivate)) return false;
  const int rule = KXOrgGetInt(LKXOrg::kShowUserCaptions);
  if (rule < 0) return false;
  return rule == 0 || user.GetFlag(kKXUserShowDetails);
}

}  // namespace

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
    json.Member("connected", connected).Member("state", StateName(connected, user));
    const std::string since = LRfc3339Time(LDateTime(user.GetNumber(kKXUserStateChanged)));
    json.Key("since");
    if (since.empty()) {
      json.Null();
    } else {
      json.String(since);
    }
    const std::string caption = CaptionShown(user, connected) ? user.GetText(kKXUserLastCaption) : "";
    if (!caption.empty()) json.Member("caption", caption);
    json.EndObject();
  }
  json.EndArray().EndObject();
  WLSendJson(form, 200, json.Text());
}
