#pragma once
// Backup and restore of the settings files (the files of the shared data
// folder; its sub-folders, such as the logs and the archive, are not
// settings).

#include <string>

// Creates `target` and copies every settings file into it.
[[nodiscard]] bool LSettingsBackup(const std::string& sharedFolder, const std::string& target);

enum class LSettingsRestoreResult { kDone, kNotSettings, kFailed };

// Refuses a folder that holds no settings file of this system. Copies the
// files into a fresh folder beside the settings first and only then renames
// them over the old ones, so that a copy that fails half-way leaves the
// settings as they were.
[[nodiscard]] LSettingsRestoreResult LSettingsRestore(const std::string& source, const std::string& sharedFolder);
