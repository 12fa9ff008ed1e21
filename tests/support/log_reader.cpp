#include "support/log_reader.h"

#include <algorithm>
#include <filesystem>

#include "foundation/log.h"
#include "support/temp_root.h"

std::string KavrixReadLogText() {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(gLLog().GetLogFolder(), ignored)) {
    files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  std::string text;
  for (const std::string& file : files) text += KavrixReadFile(file);
  return text;
}

std::vector<std::string> KavrixLogMessages() {
  std::vector<std::string> messages;
  const std::string text = KavrixReadLogText();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    messages.push_back(line.size() > 9 ? line.substr(9) : line);
    start = end + 2;
  }
  return messages;
}
