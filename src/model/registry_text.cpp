#include "model/registry_text.h"

#include "foundation/ascii_text.h"
#include "foundation/comma_list.h"
#include "foundation/settings_parse.h"
#include "foundation/text_limits.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string KXCleanRegistryText(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && (IsBlank(text[begin]) || text[begin] == '=')) ++begin;
  std::size_t end = text.find_first_of("\r\n", begin);
  if (end == std::string_view::npos) end = text.size();
  // Cut first, trim after: the cut may leave blanks at the end.
  std::string clean = LCutText(text.substr(begin, end - begin));
  while (!clean.empty() && IsBlank(clean.back())) clean.pop_back();
  return clean;
}

bool KXSameName(std::string_view a, std::string_view b) { return LSettingsEqualNoCase(a, b); }

std::vector<std::string> KXCommaListItems(std::string_view list) {
  std::vector<std::string> items;
  LCommaSeparatedListIterator it(list);
  while (it.Next()) {
    const std::string_view item = LTrimBlanks(it.Item());
    if (!item.empty()) items.emplace_back(item);
  }
  return items;
}

bool KXCommaListContains(std::string_view list, std::string_view name) {
  const std::string_view wanted = LTrimBlanks(name);
  if (wanted.empty()) return false;
  LCommaSeparatedListIterator it(list);
  while (it.Next()) {
    if (KXSameName(LTrimBlanks(it.Item()), wanted)) return true;
  }
  return false;
}

std::string KXCommaListItem(std::string_view name) {
  if (name.find_first_of(",\"") == std::string_view::npos) return std::string(name);
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string KXJoinCommaList(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) {
    if (!joined.empty()) joined += ',';
    joined += KXCommaListItem(item);
  }
  return joined;
}
