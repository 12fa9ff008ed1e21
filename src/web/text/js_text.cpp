#include "web/text/js_text.h"

#include <cstdio>

std::string LJavaScriptString(std::string_view text) {
  std::string out = "'";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool plain = u >= 0x20 && u < 0x7f && c != '\'' && c != '"' && c != '\\' &&
                       c != '<' && c != '>' && c != '&';
    if (plain || u >= 0x80) {
      out += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
    out += escaped;
  }
  out += "'";
  return out;
}
