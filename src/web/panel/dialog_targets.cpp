#include "web/panel/dialog_targets.h"

#include "foundation/ascii_text.h"
#include "web/http/redirect_target.h"
#include "web/http/weblet_form.h"

namespace {

// "http://host/..." or "https://host" naming this server's host exactly.
bool IsOwnAbsoluteUrl(std::string_view value, std::string_view host) {
  if (host.empty() || LHasControlByte(value)) return false;
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (value.substr(0, scheme.size()) != scheme) continue;
    const std::string_view rest = value.substr(scheme.size());
    const std::size_t end = rest.find_first_of("/?#\\");
    return rest.substr(0, end) == host;
  }
  return false;
}

}  // namespace

std::string LDialogTarget(const LWebletForm& form, std::string_view value) {
  if (value.empty()) return {};
  if (IsOwnAbsoluteUrl(value, form.Headers().GetParm("Host"))) return std::string(value);
  return LWebletSafeTarget(value, "");
}

std::string LDialogReferer(const LWebletForm& form) {
  return LDialogTarget(form, form.Headers().GetParm("Referer"));
}
