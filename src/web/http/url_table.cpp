#include "web/http/url_table.h"

const LWebScriptEntry* LFindWebScript(LWebScriptTable table, std::string_view pageName) {
  for (const LWebScriptEntry& entry : table) {
    if (entry.path != nullptr && pageName == entry.path) return &entry;
  }
  return nullptr;
}
