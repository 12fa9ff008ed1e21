#include "web/http/query_buttons.h"

#include <set>
#include <string>

#include "model/registry_text.h"

bool LWebletIsButtonField(std::string_view name) {
  return name == "submit" || name == "submitdef" || name.starts_with("submit_");
}

void LWebletDropQueryButtons(LHashTable& params) {
  std::set<std::string> pressing;
  for (const LHashTable::Pair& pair : params) {
    if (LWebletIsButtonField(pair.key) && !KXSameName(pair.value, kLSearchButtonLabel)) pressing.insert(pair.key);
  }
  for (const std::string& name : pressing) {
    while (params.DeleteParm(name)) {
    }
  }
}
