#include "desktop/desktop_opener.h"

#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "foundation/log.h"

extern char** environ;

std::string LDesktopFindProgram(const std::string& name) {
  const char* path = getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

bool LDesktopOpen(const std::string& address) {
  std::vector<std::string> command;
  if (const std::string opener = LDesktopFindProgram("xdg-open"); !opener.empty()) {
    command = {opener, address};
  } else if (const std::string kde = LDesktopFindProgram("kfmclient");
             getenv("KDE_FULL_SESSION") != nullptr && !kde.empty()) {
    command = {kde, "exec", address};
  } else if (const std::string gnome = LDesktopFindProgram("gnome-open"); !gnome.empty()) {
    command = {gnome, address};
  } else {
    LOGERROR("No program to open \"" + address + "\" was found (xdg-open is missing)");
    return false;
  }
  std::vector<char*> argv;
  for (std::string& part : command) argv.push_back(part.data());
  argv.push_back(nullptr);
  pid_t pid;
  // The process-wide SIGCHLD handler reaps the opener when it ends.
  const int error = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (error != 0) {
    LOGERRORF("posix_spawn(%s) failed: %d", argv[0], error);
    return false;
  }
  return true;
}
