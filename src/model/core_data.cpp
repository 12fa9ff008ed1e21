#include "model/core_data.h"

#include <sys/stat.h>

#include "foundation/path_parts.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "foundation/text_limits.h"

namespace {

// Bytes that Windows forbids in file names, the full stop and the control
// bytes: without them an address can neither name a path outside the archive
// root nor "." or "..", and the folders read the same on a Windows share.
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

// `folder` + "/" + `name` (joined as LFile::FilePathCat does), or false when
// that would not fit a path buffer: cut, it would name some other file.
bool JoinPath(const std::string& folder, std::string_view name, std::string& out) {
  if (folder.empty() || name.empty()) return false;
  std::string joined = folder;
  if (joined.back() != '/' && joined.back() != '\\') joined += '/';
  joined += name;
  if (joined.size() > LKXCoreData::kMaxPath) return false;
  out = std::move(joined);
  return true;
}

// A file or folder named after a date in the user's archive folder.
bool DatedPath(std::string_view user, const std::string& date, std::string_view suffix, std::string& out) {
  out.clear();
  std::string folder;
  if (!LKXCoreData::GetUserArchiveFolder(user, folder)) return false;
  return JoinPath(folder, date + std::string(suffix), out);
}

bool IsYearText(std::string_view year) {
  if (year.empty() || year.size() > 4) return false;
  for (char c : year) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "Settings"/"SystemArchiveFolder", or the path of the shared sub-folder
// "Archive" (`is_default`) named without the folders being made on the way.
std::string ArchiveRootPath(bool& is_default) {
  std::string root = LSettingGetString("Settings", "SystemArchiveFolder");
  is_default = root.empty();
  if (!is_default) return root;
  return LFile::FilePathCat(
      LFile::FilePathCat(LFile::FilePathCat(LFile::GetInstallRoot(), "kavrixserver"), "etc"), "Archive");
}

}  // namespace

std::string LKXCoreData::GetUserFolderName(std::string_view user) {
  std::string name;
  for (char c : user) {
    if (!DroppedFromFolderName(static_cast<unsigned char>(c))) name += c;
  }
  LCutTextInPlace(name);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

std::string LKXCoreData::GetArchiveRoot() {
  bool is_default = false;
  std::string root = ArchiveRootPath(is_default);
  return is_default ? LFile::GetSharedDataFolderAppSubFolder("Archive") : root;
}

std::string LKXCoreData::GetUserFilePathForReading(std::string_view user, std::string_view file_name) {
  bool is_default = false;
  std::string folder;
  std::string path;
  if (!JoinPath(ArchiveRootPath(is_default), GetUserFolderName(user), folder)) return std::string();
  if (!JoinPath(folder, file_name, path)) return std::string();
  return path;
}

bool LKXCoreData::GetUserArchiveFolder(std::string_view user, std::string& out) {
  out.clear();
  bool is_default = false;
  std::string folder;
  // An empty name would make the archive root itself the user's folder.
  if (!JoinPath(ArchiveRootPath(is_default), GetUserFolderName(user), folder)) return false;
  // Every record passes here: one stat when the folder is there, rather
  // than a mkdir of each folder on the way.
  if (!LIsFolder(folder)) {
    if (is_default) LFile::GetSharedDataFolderAppSubFolder("Archive");
    LFile::CreateFolder(folder);
  }
  out = std::move(folder);
  return true;
}

bool LKXCoreData::GetUserActivityLogCSV(std::string_view user, LDateTime day, std::string& out) {
  return DatedPath(user, day.GetDateText(), "_activity.csv", out);
}

bool LKXCoreData::GetUserManualLogCSV(std::string_view user, LDateTime day, std::string& out) {
  return DatedPath(user, day.GetDateText(), "_manual.csv", out);
}

bool LKXCoreData::GetUserLeaveLogCSV(std::string_view user, std::string_view year, std::string& out) {
  out.clear();
  if (!IsYearText(year)) return false;
  return DatedPath(user, std::string(year), "_leave.csv", out);
}

bool LKXCoreData::GetScreenFolder(std::string_view user, LDateTime day, std::string& out, bool create) {
  if (!DatedPath(user, day.GetDateText(), "_qascreens", out)) return false;
  if (create && day.IsSet()) LFile::CreateFolder(out);
  return true;
}
