#pragma once
// The URL table: which handler answers which page name, and the access rule
// the connection applies before it calls the handler. A page name is the
// decoded request path without its leading "/" (the empty name stands for
// "/"); names compare exactly, case and bytes, in table order, so the first
// matching entry wins.

#include <span>
#include <string_view>

class LWebletForm;

// No rule has the value 0, so a row whose rule was left out is told apart.
enum class LWebAccess {
  kAnyone = 1,         // no session needed
  kSession,            // a valid session, else the session-expired page
  kAdministrator,      // a session of an administrator, else the notice below
  kAdministratorFile,  // a download for administrators, else a 403 with kLAdministratorOnlyFileText
  kPageRule,           // the handler checks the visitor itself, against the user it acts on
  kApiToken,           // the handler checks the personal API token (api_access.h), whose owner it needs
};

// Applies a row's rule before its handler runs: true when the request may go
// on, else it has answered the request. The page framework supplies it
// (WLCheckAccess), so the connection needs no page code.
using LWebAccessCheck = bool (*)(LWebletForm& form, LWebAccess access);

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
