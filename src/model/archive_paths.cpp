#include "model/archive_paths.h"

#include <cstdio>
#include <ctime>

#include "model/core_data.h"

std::string KXUserArchiveFile(std::string_view email, std::string_view file_name) {
  return LKXCoreData::GetUserFilePathForReading(email, file_name);
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
