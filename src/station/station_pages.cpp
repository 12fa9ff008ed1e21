#include "station/station_pages.h"

#include "engine/send_pace.h"
#include "foundation/log.h"
#include "foundation/text_limits.h"
#include "station/server_connection.h"
#include "web/http/http_responses.h"
#include "web/http/redirect_target.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/session/logon_throttle.h"
#include "web/session/session_id.h"

namespace {

// Whether session `id` was made by a station connection from `host`.
bool BelongsToStationAt(LWebletForm& form, const std::string& id, const std::string& host) {
  LWebletSessionData session;
  session.SetThread(&form.Thread());
  session.LoadSession(id);
  return !host.empty() && session.IsValid() && session.GetBool("stacon", false) &&
         session.GetParm(kLKXStationAddressKey) == host;
}

// The station's own answers go out as they are, past the page response and
// the headers it adds: a station reads these bytes, and its protocol follows
// "connect" on the same connection.
LProcessResult SendAsIs(LWebletForm& form, std::string_view bytes) {
  return form.Transport().Send(&form.Thread(), bytes.data(), bytes.size(), kLWebSendTimeoutMs);
}

}  // namespace

void WLHandOverConnection(LWebletForm& form, LStationProtocolHandler protocol) {
  if (form.IsSecure()) {
    (void)WLSendRaw(form, kLHttpNotFoundClose);
    return;
  }
  if (SendAsIs(form, kLHttpStationConnect) != kLProcessDone) return;
  // A session of hours, not an answer: its sends have time-outs of their own.
  const LSendPaceLift session;
  protocol(form.Thread(), form.Socket(), form.RemoteAddress());
}

void WLConnect(LWebletForm& form) { WLHandOverConnection(form, LKXServerConnectionRun); }

std::string LStationLogonTarget(const std::string& cmd, const std::string& seluser) {
  std::string target = LWebletSafeTarget(cmd, "mainpage");
  if (!seluser.empty()) target += "?seluser=" + seluser;
  return LCutText(target);
}

void WLStationLogon(LWebletForm& form) {
  const LHashTable& params = form.Params();
  const std::string sess = params.GetParm("sess");
  // Only an id of the server's own making becomes a cookie: any other text
  // could carry cookie attributes of its own.
  if (!LWebletSessionIdAllowed(sess)) {
    (void)SendAsIs(form, LHttpRedirectText("logon"));
    return;
  }
  if (!BelongsToStationAt(form, sess, KXLogonPeerHost(form.RemoteAddress()))) {
    // The id itself stays out of the log: whoever reads the log could use it.
    LOGWARNF("A station session was refused to %s: it was not made by a station at that address.",
             form.RemoteAddress().c_str());
    (void)SendAsIs(form, LHttpRedirectText("logon"));
    return;
  }
  const std::string target = LStationLogonTarget(params.GetParm("cmd"), params.GetParm("seluser"));
  (void)SendAsIs(form, LHttpRedirectWithCookieText(sess, target, form.IsSecure()));
}
