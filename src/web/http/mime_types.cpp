#include "web/http/mime_types.h"

#include <string>

#include "foundation/settings_parse.h"

const LMimeTypeEntry LExtToMimeType[] = {
    {"html", "text/html"},
    {"css", "text/css"},
    {"jpg", "image/jpeg"},
    {"gif", "image/gif"},
    {"txt", "text/plain"},
    {"js", "text/javascript"},
    {"exe", "application/octet-stream"},
    {"ico", "image/x-icon"},
    {"", ""},
};

const char* LMimeTypeForPath(std::string_view path) {
  static constexpr char kDefault[] = "application/octet-stream";
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return kDefault;
  const std::string extension = LSettingsLowerCase(path.substr(dot + 1));
  for (const LMimeTypeEntry* entry = LExtToMimeType; entry->extension[0] != '\0'; ++entry) {
    if (extension == entry->extension) return entry->type;
  }
  return kDefault;
}
