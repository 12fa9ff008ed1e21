#include "maintenance/offline_caption.h"

#include <string>

#include "foundation/log.h"
#include "foundation/settings_parse.h"
#include "model/user.h"

bool KXUpdateOfflineCaption(LKXUser& user, int viewer_zone) {
  if (user.GetFlag(kKXUserConnected)) return false;
  const std::string caption = user.GetOfflineTips(viewer_zone);
  if (LSettingsEqualNoCase(caption, user.GetText(kKXUserLastCaption))) return false;
  if (!user.SetText(kKXUserLastCaption, caption) ||
      !user.SetNumber(kKXUserStateChanged, LDateTime::Now().value)) {
    LOGERROR("Unable to save the status caption of " + user.GetEmail());
  }
  return true;
}
