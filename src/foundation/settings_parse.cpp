#include "foundation/settings_parse.h"

#include <algorithm>

#include "foundation/text_limits.h"

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Skips one line end: LF, LF CR, CR LF or CR.
std::size_t SkipLineEnd(std::string_view bytes, std::size_t pos) {
  if (pos >= bytes.size()) return pos;
  const char first = bytes[pos++];
  if (pos < bytes.size() && IsLineEnd(bytes[pos]) && bytes[pos] != first) ++pos;
  return pos;
}

}  // namespace

std::string LSettingsLowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool LSettingsEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string LSettingsCleanKey(std::string_view key) {
  std::size_t start = 0;
  while (start < key.size() && static_cast<unsigned char>(key[start]) <= 0x20) ++start;
  key.remove_prefix(start);
  const std::size_t end = key.find_first_of("=\r\n");
  if (end != std::string_view::npos) key = key.substr(0, end);
  return LSettingsLowerCase(LCutText(key));
}

std::string LSettingsCleanValue(std::string_view value) {
  const std::size_t start = value.find_first_not_of('=');
  if (start == std::string_view::npos) return {};
  value.remove_prefix(start);
  const std::size_t end = value.find_first_of("\r\n");
  if (end != std::string_view::npos) value = value.substr(0, end);
  return LCutText(value);
}

void LSettingsEntries::Parse(std::string_view bytes) {
  items_.clear();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) <= 0x20) ++pos;
    const std::size_t key_start = pos;
    while (pos < bytes.size() && bytes[pos] != '=' && !IsLineEnd(bytes[pos])) ++pos;
    std::string_view key = bytes.substr(key_start, pos - key_start);
    while (pos < bytes.size() && bytes[pos] == '=') ++pos;
    const std::size_t value_start = pos;
    while (pos < bytes.size() && !IsLineEnd(bytes[pos])) ++pos;
    std::string_view value = bytes.substr(value_start, pos - value_start);
    pos = SkipLineEnd(bytes, pos);
    if (!key.empty()) items_.emplace_back(LCutText(key), LCutText(value));
  }
}

std::string LSettingsEntries::Serialize() const {
  std::string bytes;
  for (const Entry& entry : items_) {
    bytes += entry.first;
    bytes += '=';
    bytes += entry.second;
    bytes += "\r\n";
  }
  return bytes;
}

const std::string* LSettingsEntries::Find(std::string_view key) const {
  for (const Entry& entry : items_) {
    if (entry.first == key) return &entry.second;
  }
  return nullptr;
}

const std::string* LSettingsEntries::FindNoCase(std::string_view key) const {
  for (const Entry& entry : items_) {
    if (LSettingsEqualNoCase(entry.first, key)) return &entry.second;
  }
  return nullptr;
}

bool LSettingsEntries::Set(std::string_view key, std::string_view value) {
  for (Entry& entry : items_) {
    if (entry.first != key) continue;
    if (entry.second == value) return false;
    entry.second.assign(value);
    return true;
  }
  items_.emplace_back(std::string(key), std::string(value));
  return true;
}

bool LSettingsEntries::Remove(std::string_view key) {
  const auto removed = std::erase_if(items_, [key](const Entry& entry) { return entry.first == key; });
  return removed != 0;
}
