#include "web/http/redirect_target.h"

#include "foundation/ascii_text.h"

namespace {

// Browsers read "\\" like "/" and "//host" as another server.
bool LeavesTheServer(std::string_view value) {
  if (value.size() >= 2) {
    const bool slash0 = value[0] == '/' || value[0] == '\\';
    const bool slash1 = value[1] == '/' || value[1] == '\\';
    if (slash0 && slash1) return true;
  }
  // A ":" before the path, query or fragment starts makes a scheme
  // ("javascript:", "https:").
  const std::size_t end = value.find_first_of("/?#");
  return value.substr(0, end).find(':') != std::string_view::npos;
}

}  // namespace

std::string LWebletSafeTarget(std::string_view value, std::string_view fallback) {
  if (value.empty() || LHasControlByte(value) || LeavesTheServer(value)) {
    return std::string(fallback);
  }
  return std::string(value);
}
