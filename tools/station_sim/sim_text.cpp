#include "sim_text.h"

#include <cstdio>

std::string KXSimQuote(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 32 || byte > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

bool KXSimSplitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r' || line[at] == '\n')) ++at;
    if (at >= line.size()) break;
    if (words.empty() && line[at] == '#') return true;
    std::string word;
    if (line[at] == '"') {
      ++at;
      bool closed = false;
      while (at < line.size()) {
        const char c = line[at++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) {
          word += line[at++];
        } else {
          word += c;
        }
      }
      if (!closed) {
        error = "unterminated quote";
        words.clear();
        return false;
      }
    } else {
      while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r' && line[at] != '\n') {
        word += line[at++];
      }
    }
    words.push_back(std::move(word));
  }
  return true;
}
