#include "web/http/content_coding.h"

#include <cstdio>

#include "foundation/ascii_text.h"
#include "foundation/settings_parse.h"

namespace {

// A quality of zero ("0", "0.0", "0.000") refuses the coding.
bool RefusedByQuality(std::string_view parameters) {
  std::size_t pos = 0;
  while (pos < parameters.size()) {
    std::size_t end = parameters.find(';', pos);
    if (end == std::string_view::npos) end = parameters.size();
    const std::string parameter = LSettingsLowerCase(LTrimBlanks(parameters.substr(pos, end - pos)));
    if (parameter.rfind("q=", 0) == 0) {
      const std::string_view value = std::string_view(parameter).substr(2);
      return !value.empty() && value.find_first_not_of("0.") == std::string_view::npos;
    }
    pos = end + 1;
  }
  return false;
}

}  // namespace

bool LHttpAcceptsGzip(std::string_view acceptEncoding) {
  std::size_t pos = 0;
  while (pos < acceptEncoding.size()) {
    std::size_t end = acceptEncoding.find(',', pos);
    if (end == std::string_view::npos) end = acceptEncoding.size();
    const std::string_view item = acceptEncoding.substr(pos, end - pos);
    const std::size_t semicolon = item.find(';');
    const std::string coding = LSettingsLowerCase(LTrimBlanks(item.substr(0, semicolon)));
    const std::string_view parameters =
        semicolon == std::string_view::npos ? std::string_view() : item.substr(semicolon + 1);
    if ((coding == "gzip" || coding == "x-gzip" || coding == "*") && !RefusedByQuality(parameters)) {
      return true;
    }
    pos = end + 1;
  }
  return false;
}

bool LHttpCompressibleType(std::string_view contentType) {
  const std::string type = LSettingsLowerCase(LTrimBlanks(contentType.substr(0, contentType.find(';'))));
  return type.rfind("text/", 0) == 0 || type == "application/javascript" || type == "application/json" ||
         type == "image/svg+xml";
}

std::string LHttpChunkHead(std::size_t size) {
  char text[24];
  const int length = std::snprintf(text, sizeof text, "%zx\r\n", size);
  return std::string(text, static_cast<std::size_t>(length));
}
