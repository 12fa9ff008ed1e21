#pragma once
// How often the system log holds a message, compared whole.

#include <algorithm>
#include <string>
#include <vector>

#include "support/log_reader.h"

inline int KavrixLogCount(const std::string& message) {
  const std::vector<std::string> log = KavrixLogMessages();
  return static_cast<int>(std::count(log.begin(), log.end(), message));
}

inline bool KavrixLogged(const std::string& message) { return KavrixLogCount(message) > 0; }
