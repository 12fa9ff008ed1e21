#include "service/service_stop.h"

#include <cstdint>
#include <string>

#include "engine/socket_ops.h"
#include "foundation/unique_fd.h"
#include "service/control_message.h"
#include "service/named_pipe.h"
#include "service/service_process.h"
#include "service/stop_semaphore.h"

namespace {

constexpr int kStopSendMs = 5000;

std::string ControlSocketPath(const LServicePaths& paths) {
  return paths.controlSocket.empty() ? LNamedPipeRef::MakeFilePath(kLServiceName) : paths.controlSocket;
}

bool SendStopMessage(const LServicePaths& paths) {
  LUniqueFd socket = LNamedPipeRef::OpenPath(ControlSocketPath(paths));
  if (!socket) return false;
  const LServiceMessageHeader stop{kLServiceMagic, kLServiceStop, 0, 0, 0};
  return ProcessSend(nullptr, socket.Get(), &stop, sizeof(stop), kStopSendMs) == kLProcessDone;
}

}  // namespace

bool LServiceStop(const LServicePaths& paths) {
  if (LServiceFindProcess(paths.procFolder, kLServiceName) == LServiceSearch::kNotRunning) return true;
  // The semaphore is made before the stop message leaves: a service that
  // stops at once would otherwise remove it before it exists, and the wait
  // would then run out although the service has stopped.
  if (!LServiceCreateSemaphore(paths.stopSemaphore)) return false;
  if (!SendStopMessage(paths)) {
    LServiceClearSemaphore(paths.stopSemaphore);
    return false;
  }
  return LServiceWaitSemaphore(paths.stopSemaphore, paths.stopWaitMs);
}
