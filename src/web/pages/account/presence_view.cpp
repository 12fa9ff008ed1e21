#include "web/pages/account/presence_view.h"

#include "model/org_settings.h"

const char* KXPresenceStateName(bool connected, LKXUser& user) {
  if (!connected) return "offline";
  if (user.GetFlag(kKXUserStatePrivate)) return "private";
  return user.GetFlag(kKXUserStateActive) ? "active" : "idle";
}

bool KXPresenceCaptionShown(LKXUser& user, bool connected) {
  if (connected && user.GetFlag(kKXUserStatePrivate)) return false;
  const int rule = KXOrgGetInt(LKXOrg::kShowUserCaptions);
  if (rule < 0) return false;
  return rule == 0 || user.GetFlag(kKXUserShowDetails);
}
