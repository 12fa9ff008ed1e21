#include "station/station_receive.h"

#include <algorithm>

#include "engine/socket_ops.h"
#include "station/station_limits.h"

bool LKXReceiveAppend(LThread* thread, int fd, std::string& buffer, std::size_t length, int silenceMs) {
  while (length > 0) {
    const std::size_t piece = std::min(length, kLKXReceivePieceBytes);
    const std::size_t at = buffer.size();
    buffer.resize(at + piece);
    if (ProcessRecvBytes(thread, fd, buffer.data() + at, piece, silenceMs) != kLProcessDone) {
      buffer.resize(at);
      return false;
    }
    length -= piece;
  }
  return true;
}
