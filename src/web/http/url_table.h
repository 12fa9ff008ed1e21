#pragma once
// The URL table: which handler answers which page name. A page name is the
// decoded request path without its leading "/" (the empty name stands for
// "/"); names compare exactly, case and bytes, in table order, so the first
// matching entry wins.

#include <span>
#include <string_view>

class LWebletForm;

// A handler writes the whole response itself, status line included.
using LWebScriptHandler = void (*)(LWebletForm& form);

struct LWebScriptEntry {
  const char* path;
  LWebScriptHandler handler;
};

using LWebScriptTable = std::span<const LWebScriptEntry>;

// The first entry whose path equals `pageName`, or null.
const LWebScriptEntry* LFindWebScript(LWebScriptTable table, std::string_view pageName);
