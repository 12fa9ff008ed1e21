#pragma once
// The control window's user list import: every row passes the checks of the
// add-user form before it is stored; a refused row is reported with its
// line number and the others are stored.

#include <string>
#include <vector>

struct LUserListImportReport {
  bool readable = false;
  int stored = 0;
  std::vector<std::string> refused;  // "Line 3: <why>"
};

LUserListImportReport LDesktopImportUserList(const std::string& path);
