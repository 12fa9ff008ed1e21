#include "model/registry_lists.h"

#include <fcntl.h>
#include <sys/file.h>

#include "foundation/file_modes.h"
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
  // Opened for reading only: flock needs no more, and so a process of
  // another user may lock a file the service created. A lock file that
  // cannot be opened at all leaves the operation serialised within this
  // process only.
  (void)LOpenLockedFile(path, O_RDONLY | O_CREAT, kLDataFileMode, LOCK_EX, kFileLockTimeoutMs, file_);
}
