#include "desktop/settings_backup.h"

#include <filesystem>
#include <vector>

#include "foundation/log.h"
#include "foundation/settings_cache.h"
#include "foundation/settings_sections.h"

namespace fs = std::filesystem;

namespace {

constexpr char kRestoreFolder[] = ".restore";
// A backup of this system always holds these section files.
constexpr const char* kSignatureSections[] = {"Settings", "Routing", "Email", "UsersList"};

std::vector<fs::path> SettingsFiles(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path());
  }
  return files;
}

bool HoldsSettings(const std::string& folder) {
  for (const char* section : kSignatureSections) {
    if (fs::is_regular_file(LSettingSectionFile(folder, section))) return true;
  }
  return false;
}

}  // namespace

bool LSettingsBackup(const std::string& sharedFolder, const std::string& target) {
  std::error_code error;
  fs::create_directories(target, error);
  if (error) return false;
  for (const fs::path& file : SettingsFiles(sharedFolder)) {
    if (!fs::copy_file(file, fs::path(target) / file.filename(), fs::copy_options::overwrite_existing, error)) {
      LOGERROR("Unable to copy \"" + file.string() + "\": " + error.message());
      return false;
    }
  }
  return true;
}

LSettingsRestoreResult LSettingsRestore(const std::string& source, const std::string& sharedFolder) {
  if (!HoldsSettings(source)) return LSettingsRestoreResult::kNotSettings;
  const fs::path staging = fs::path(sharedFolder) / kRestoreFolder;
  std::error_code error;
  fs::remove_all(staging, error);
  fs::create_directories(staging, error);
  const std::vector<fs::path> files = SettingsFiles(source);
  for (const fs::path& file : files) {
    if (!fs::copy_file(file, staging / file.filename(), fs::copy_options::overwrite_existing, error)) {
      LOGERROR("Unable to copy \"" + file.string() + "\": " + error.message());
      fs::remove_all(staging, error);
      return LSettingsRestoreResult::kFailed;
    }
  }
  // Renames within one folder cannot fail half-way for want of space.
  bool ok = true;
  for (const fs::path& file : files) {
    fs::rename(staging / file.filename(), fs::path(sharedFolder) / file.filename(), error);
    if (error) {
      LOGERROR("Unable to restore \"" + file.filename().string() + "\": " + error.message());
      ok = false;
    }
  }
  fs::remove_all(staging, error);
  LSettingsCacheClear();
  return ok ? LSettingsRestoreResult::kDone : LSettingsRestoreResult::kFailed;
}
