#include "web/panel/dialog_targets.h"

#include "web/http/redirect_target.h"
#include "web/http/weblet_form.h"

namespace {

bool HasControlByte(std::string_view value) {
  for (const char c : value) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
  }
  return false;
}

// "http://host/..." or "https://host" naming this server's host exactly.
bool IsOwnAbsoluteUrl(std::string_view value, std::string_view host) {
  if (host.empty() || HasControlByte(value)) return false;
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
