#pragma once
// A process-wide cache of parsed settings files, keyed by path and by the
// stamp of the file that was parsed. Settings objects are short-lived copies
// (a record list hands out a fresh object per member), and without this every
// copy would read and parse its file again. An entry is used only while the
// file on disk still carries the same stamp, so another process's change is
// seen on the next access exactly as without the cache.

#include <memory>
#include <string>

#include "foundation/file_stamp.h"
#include "foundation/settings_parse.h"

// Parsed entries are shared between objects and never changed once made; a
// change makes a new list.
using LSettingsEntriesPtr = std::shared_ptr<const LSettingsEntries>;

// The entries parsed from `path` when it carried `stamp`, or null.
LSettingsEntriesPtr LSettingsCacheFind(const std::string& path, const LFileStamp& stamp);
void LSettingsCacheStore(const std::string& path, const LFileStamp& stamp, LSettingsEntriesPtr entries);
void LSettingsCacheForget(const std::string& path);
void LSettingsCacheClear();
