#include "web/query_buttons.h"

bool LWebletIsButtonField(std::string_view name) {
  return name == "submit" || name == "submitdef" || name.starts_with("submit_");
}

void LWebletDropQueryButtons(LHashTable& params) {
  params.DeleteIf([](const LHashTable::Pair& pair) {
    return LWebletIsButtonField(pair.key) && pair.value != kLSearchButtonLabel;
  });
}
