#pragma once
// Finding the running service by its process name, the way the init system
// and the desktop see it: the "Name:" line of /proc/<pid>/status.

#include <sys/types.h>

#include <string>
#include <string_view>

enum class LServiceSearch {
  kNotRunning,
  kRunning,
  kUnknown,  // the process folder cannot be listed
};

// Looks through the entries of `procFolder` whose names are all digits
// without a leading 0, reading the second word of the first line of each
// "<entry>/status". `pid` receives the first match.
LServiceSearch LServiceFindProcess(const std::string& procFolder, std::string_view name,
                                   pid_t* pid = nullptr);

// True when a process named "kavrixserverd" runs, or when that cannot be told.
bool LServiceIsRunning(const std::string& procFolder);
