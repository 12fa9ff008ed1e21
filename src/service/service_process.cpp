#include "service/service_process.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "service/service_paths.h"

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

// "[1-9]*" and nothing but digits: the folders of processes.
bool IsProcessEntry(const char* entry) {
  if (entry[0] < '1' || entry[0] > '9') return false;
  for (const char* c = entry; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  return true;
}

// The second word of the status file's first line ("Name:\t<name>").
bool ReadProcessName(const std::string& statusPath, char (&name)[260]) {
  std::unique_ptr<FILE, FileCloser> file(fopen(statusPath.c_str(), "re"));
  if (!file) return false;  // the process ended meanwhile
  char line[260];
  if (fgets(line, sizeof(line), file.get()) == nullptr) return false;
  return sscanf(line, "%*s %259s", name) == 1;
}

}  // namespace

LServiceSearch LServiceFindProcess(const std::string& procFolder, std::string_view name, pid_t* pid) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(procFolder.c_str()));
  if (!dir) return LServiceSearch::kUnknown;
  while (const dirent* entry = readdir(dir.get())) {
    if (!IsProcessEntry(entry->d_name)) continue;
    char processName[260];
    if (!ReadProcessName(procFolder + "/" + entry->d_name + "/status", processName)) continue;
    if (name != processName) continue;
    if (pid != nullptr) *pid = static_cast<pid_t>(strtol(entry->d_name, nullptr, 10));
    return LServiceSearch::kRunning;
  }
  return LServiceSearch::kNotRunning;
}

bool LServiceIsRunning(const std::string& procFolder) {
  return LServiceFindProcess(procFolder, kLServiceName) != LServiceSearch::kNotRunning;
}
