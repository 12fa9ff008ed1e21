#include "service/service_paths.h"

#include <unistd.h>

#include <mutex>

namespace {

// Guards gProgramPath: main records it, any thread may read it.
std::mutex gProgramPathMutex;
std::string gProgramPath;

}  // namespace

void LServiceSetProgramPath(const char* argv0) {
  std::lock_guard<std::mutex> lock(gProgramPathMutex);
  gProgramPath = argv0 != nullptr ? argv0 : "";
}

std::string LServiceProgramPath() {
  {
    std::lock_guard<std::mutex> lock(gProgramPathMutex);
    // A bare name was found through PATH and means nothing in another folder.
    if (gProgramPath.find('/') != std::string::npos) return gProgramPath;
  }
  char target[4096];
  const ssize_t length = readlink("/proc/self/exe", target, sizeof(target) - 1);
  return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}
