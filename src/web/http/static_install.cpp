#include "web/http/static_install.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "foundation/file_modes.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/unique_fd.h"
#include "foundation/write_all.h"

namespace {

// Creates every folder of `path` up to (not including) its last component.
void CreateParentFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    LFile::CreateFolder(path.substr(0, slash));
  }
}

// Writes the file beside its final name and links it into place, which
// fails if the file appeared meanwhile: a reader never sees half a file and
// a file someone else put there is never replaced. Returns 0 when written,
// else the errno of the failure (EEXIST: someone was quicker).
int InstallOne(const std::string& target, const LEmbeddedFile& file) {
  const std::string temporary = target + ".~installing";
  ::unlink(temporary.c_str());
  int error = 0;
  {
    LUniqueFd out = LOpenCreating(temporary, O_WRONLY | O_CREAT | O_EXCL);
    if (!out || !LWriteAll(out.Get(), std::string_view(reinterpret_cast<const char*>(file.data), file.size)) || ::fsync(out.Get()) != 0)
      error = errno;
  }
  if (error == 0 && ::link(temporary.c_str(), target.c_str()) != 0) error = errno;
  ::unlink(temporary.c_str());
  return error;
}

}  // namespace

int LInstallStaticFiles(std::span<const LEmbeddedFile> files, const std::string& webRoot,
                        const std::string& helpFolder) {
  int installed = 0;
  for (const LEmbeddedFile& file : files) {
    if (file.folder == nullptr || file.name == nullptr) continue;
    const std::string& base = std::string_view(file.folder) == "help" ? helpFolder : webRoot;
    const std::string target = LFile::FilePathCat(base, file.name);
    if (::access(target.c_str(), F_OK) == 0) continue;
    CreateParentFolders(target);
    const int error = InstallOne(target, file);
    if (error == 0) {
      ++installed;
    } else if (error != EEXIST) {
      LOGERRORF("Unable to install the file %s: %s", target.c_str(), std::strerror(error));
    }
  }
  return installed;
}
