#include "web/pages/monitor/screenshot_files.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

#include "model/core_data.h"
#include "web/http/static_file_path.h"

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool Digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "HH-MM-SS.jpg" exactly (after the thumbnail's "_"), within the day.
bool ReadFileTime(std::string_view name, std::int32_t& seconds) {
  if (name.size() != 12 || name.substr(8) != ".jpg" || name[2] != '-' || name[5] != '-') return false;
  if (!Digits(name.substr(0, 2)) || !Digits(name.substr(3, 2)) || !Digits(name.substr(6, 2))) return false;
  const int h = (name[0] - '0') * 10 + (name[1] - '0');
  const int m = (name[3] - '0') * 10 + (name[4] - '0');
  const int s = (name[6] - '0') * 10 + (name[7] - '0');
  if (h > 23 || m > 59 || s > 59) return false;
  seconds = h * 3600 + m * 60 + s;
  return true;
}

std::string FolderName(LDateTime day) { return day.GetDateText() + "_qascreens"; }

}  // namespace

std::string KXScreenShotFileTime(std::int32_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2d-%.2d-%.2d", seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
  return text;
}

std::vector<std::int32_t> KXScreenShotTimes(std::string_view email, LDateTime day, bool thumbnails) {
  std::vector<std::int32_t> times;
  std::string folder;
  if (!LKXCoreData::GetScreenFolder(email, day, folder, false)) return times;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return times;
  while (const dirent* entry = ::readdir(dir.get())) {
    std::string_view name = entry->d_name;
    const bool thumbnail = !name.empty() && name.front() == '_';
    if (thumbnail != thumbnails) continue;
    if (thumbnail) name.remove_prefix(1);
    std::int32_t seconds = 0;
    if (ReadFileTime(name, seconds)) times.push_back(seconds);
  }
  std::sort(times.begin(), times.end());
  return times;
}

bool KXScreenShotPath(std::string_view email, LDateTime day, std::int32_t seconds, bool thumbnail,
                      std::string& path) {
  path.clear();
  if (seconds < 0 || seconds >= LDateTime::kOneDay || !day.IsSet()) return false;
  const std::string name = (thumbnail ? "_" : "") + KXScreenShotFileTime(seconds) + ".jpg";
  return LWebletContainedFilePath(LKXCoreData::GetArchiveRoot(),
                                  {LKXCoreData::GetUserFolderName(email), FolderName(day), name}, path);
}
