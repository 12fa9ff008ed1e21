#include "desktop/settings_backup.h"

#include <filesystem>
#include <vector>

#include "foundation/log.h"
#include "foundation/settings_cache.h"
#include "foundation/settings_sections.h"

namespace fs = std::filesystem;

namespace {

constexpr char kRestoreFolder[] = ".restore";
constexpr char kSavedFolder[] = ".restore-old";
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
  // A rename can still be refused (a folder in the way, a file made
  // immutable): the old files are kept as hard links until every new one is
  // in place, and put back if one is not.
  const fs::path saved = fs::path(sharedFolder) / kSavedFolder;
  fs::remove_all(saved, error);
  fs::create_directories(saved, error);
  bool ok = !error;
  for (const fs::path& file : files) {
    const fs::path current = fs::path(sharedFolder) / file.filename();
    if (ok && fs::is_regular_file(fs::symlink_status(current, error))) {
      fs::create_hard_link(current, saved / file.filename(), error);
      ok = !error;
    }
  }
  size_t renamed = 0;
  for (; ok && renamed < files.size(); ++renamed) {
    const fs::path name = files[renamed].filename();
    fs::rename(staging / name, fs::path(sharedFolder) / name, error);
    if (error) {
      LOGERROR("Unable to restore \"" + name.string() + "\": " + error.message());
      ok = false;
      break;
    }
  }
  if (!ok) {
    for (size_t i = 0; i < renamed; ++i) {
      const fs::path name = files[i].filename();
      if (fs::exists(saved / name, error)) {
        fs::rename(saved / name, fs::path(sharedFolder) / name, error);
      } else {
        fs::remove(fs::path(sharedFolder) / name, error);
      }
      if (error) LOGERROR("Unable to put back \"" + name.string() + "\": " + error.message());
    }
  }
  fs::remove_all(saved, error);
  fs::remove_all(staging, error);
  LSettingsCacheClear();
  return ok ? LSettingsRestoreResult::kDone : LSettingsRestoreResult::kFailed;
}
