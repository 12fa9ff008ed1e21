#include "model/archive_paths.h"

#include <cstdio>
#include <ctime>

#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "foundation/text_limits.h"

namespace {

bool DroppedFromFolderName(unsigned char c) {
  if (c < 32) return true;
  switch (c) {
    case '"':
    case '*':
    case '.':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string KXArchiveRootForReading() {
  std::string root = LSettingGetString("Settings", "SystemArchiveFolder");
  if (!root.empty()) return root;
  return LFile::FilePathCat(LFile::GetSharedDataFolderApp(), "Archive");
}

std::string KXUserArchiveFolderName(std::string_view email) {
  std::string name;
  for (char c : email) {
    if (!DroppedFromFolderName(static_cast<unsigned char>(c))) name += c;
  }
  LCutTextInPlace(name);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

std::string KXUserArchiveFile(std::string_view email, std::string_view file_name) {
  const std::string folder = KXUserArchiveFolderName(email);
  if (folder.empty() || file_name.empty()) return std::string();
  std::string path = KXArchiveRootForReading();
  if (path.empty()) return std::string();
  for (std::string_view part : {std::string_view(folder), file_name}) {
    if (path.back() != '/' && path.back() != '\\') path += '/';
    path += part;
  }
  // Cut to a path buffer, the name would be some other file's.
  if (path.size() > kLMaxText) return std::string();
  return path;
}

std::string KXUserActivityLogPath(std::string_view email, LDateTime day) {
  if (!day.IsSet()) return std::string();
  return KXUserArchiveFile(email, day.GetDateText() + "_activity.csv");
}

std::string KXUserManualLogPath(std::string_view email, LDateTime day) {
  if (!day.IsSet()) return std::string();
  return KXUserArchiveFile(email, day.GetDateText() + "_manual.csv");
}

std::string KXUserLeaveLogPath(std::string_view email, LDateTime day) {
  struct tm fields {};
  if (!day.GetLocalTime(&fields)) return std::string();
  char year[16];
  std::snprintf(year, sizeof(year), "%.4d", fields.tm_year + 1900);
  return KXUserArchiveFile(email, std::string(year) + "_leave.csv");
}
