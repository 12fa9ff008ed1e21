#include "service/program_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "foundation/unique_fd.h"
#include "foundation/write_all.h"

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

}  // namespace

// Copies into a new file beside the target and renames it over the target:
// a service running from the old file keeps it, and a half-copied program
// never stands at the installed path.
bool LServiceCopyProgram(const std::string& from, const std::string& to) {
  LUniqueFd source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!source) return false;
  const std::string temporary = to + ".new";
  unlink(temporary.c_str());
  LUniqueFd target(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700));
  if (!target) return false;
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = read(source.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || !LWriteAll(target.Get(), std::string_view(buffer.data(), static_cast<size_t>(got < 0 ? 0 : got)))) {
      unlink(temporary.c_str());
      return false;
    }
    if (got == 0) break;
  }
  if (fsync(target.Get()) != 0 || rename(temporary.c_str(), to.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}
