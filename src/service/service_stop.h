#pragma once
// Stopping the background service from another process.

#include "service/service_paths.h"

// Stops a running service over the control channel and waits up to 5 s for
// it to report that its engine has stopped. True at once when no process
// named "kavrixserverd" runs.
[[nodiscard]] bool LServiceStop(const LServicePaths& paths = {});
