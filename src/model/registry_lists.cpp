#include "model/registry_lists.h"

#include <sys/file.h>

#include "foundation/paths.h"
#include "foundation/settings_sections.h"

namespace {

// Guards every check-then-write sequence on the registry's four lists (see
// LKXRegistryLock). Never held while waiting for anything but the registry
// file lock.
std::mutex gKXRegistryMutex;

}  // namespace

LKXRegistryLock::LKXRegistryLock() : hold_(gKXRegistryMutex) {
  const std::string path = LFile::FilePathCat(LSettingsGetSharedFolder(), "registry.lock");
  // A lock file that cannot be opened (read-only folder) leaves the
  // operation serialised within this process only.
  (void)LOpenLockedFile(path, O_RDWR | O_CREAT, 0666, LOCK_EX, kFileLockTimeoutMs, file_);
}
