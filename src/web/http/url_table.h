#pragma once
// The URL table: which handler answers which page name, and the access rule
// the connection applies before it calls the handler. A page name is the
// decoded request path without its leading "/" (the empty name stands for
// "/"); names compare exactly, case and bytes, in table order, so the first
// matching entry wins.

#include <span>
#include <string_view>

#include "web/panel/access_rules.h"

class LWebletForm;

// A handler writes the whole response itself, status line included.
using LWebScriptHandler = void (*)(LWebletForm& form);

// The rule has no default: a row states who may reach its handler.
struct LWebScriptEntry {
  const char* path;
  LWebScriptHandler handler;
  LWebAccess access;
};

using LWebScriptTable = std::span<const LWebScriptEntry>;

// Whether every row of `table` states its rule; for a static_assert over a
// table, where a row written without one is value-initialised to 0.
consteval bool LEveryRowHasARule(LWebScriptTable table) {
  for (const LWebScriptEntry& entry : table) {
    if (entry.access == LWebAccess{}) return false;
  }
  return true;
}

// The first entry whose path equals `pageName`, or null.
const LWebScriptEntry* LFindWebScript(LWebScriptTable table, std::string_view pageName);
