#include "web/http/cookie_parser.h"

#include <algorithm>
#include <string>

#include "foundation/text_limits.h"
#include "web/text/uri_codec.h"

namespace {

// The bytes from `pos` up to the first of `stops` (or the end), cut to the
// system's text limit; `pos` moves to the stop byte.
std::string_view TakeUntil(std::string_view text, std::size_t& pos, std::string_view stops) {
  const std::size_t end = std::min(text.size(), text.find_first_of(stops, pos));
  const std::string_view taken = text.substr(pos, std::min(end - pos, kLMaxText));
  pos = end;
  return taken;
}

}  // namespace

void LWebletCookieData::LoadCookieData(std::string_view header, LHashTable& table) {
  header = header.substr(0, header.find('\0'));
  std::size_t pos = 0;
  while (pos < header.size()) {
    const std::string_view name = TakeUntil(header, pos, "=;");
    if (pos < header.size() && header[pos] == '=') ++pos;
    const std::string_view raw = TakeUntil(header, pos, ";");
    if (pos < header.size() && header[pos] == ';') {
      ++pos;
      while (pos < header.size() && static_cast<unsigned char>(header[pos]) < 33) ++pos;
    }
    if (name.empty()) continue;
    std::string value;
    LStringAppender writer(value);
    LURIDecodeToWriterDirect(writer, raw, nullptr);
    table.SetParm(name, value);
  }
}
