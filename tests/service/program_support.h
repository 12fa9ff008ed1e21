#pragma once
// Helpers of the tests that start the real program.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// build/kavrixserver of the build the tests belong to.
std::string KavrixProgramPath();

// A TCP port that nothing on the machine listens on right now.
uint16_t KavrixFreePort();

// Writes the routing settings of the test's data root with `port`.
bool KavrixWriteRoutingPort(const std::string& sharedFolder, uint16_t port);

// The children of this process (a subreaper) that are named "kavrixserverd",
// or, with `executable` given, that run that file.
std::vector<pid_t> KavrixAdoptedDaemons(const std::string& executable = "");
