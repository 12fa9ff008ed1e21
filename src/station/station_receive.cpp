#include "station/station_receive.h"

#include <algorithm>

#include "engine/socket_ops.h"
#include "station/station_limits.h"

namespace {

LKXReceiveResult ReceivePieces(LThread* thread, int fd, std::string& buffer, std::size_t length, int silenceMs,
                               const LRecvDeadline& deadline, LBytesInFlightShare* share) {
  std::size_t appended = 0;
  while (appended < length) {
    const std::size_t piece = std::min(length - appended, kLKXReceivePieceBytes);
    if (share != nullptr && !share->GrowTo(appended + piece)) return LKXReceiveResult::kOverBudget;
    const std::size_t at = buffer.size();
    buffer.resize(at + piece);
    if (ProcessRecvBytes(thread, fd, buffer.data() + at, piece, silenceMs, deadline) != kLProcessDone) {
      buffer.resize(at);
      return LKXReceiveResult::kFailed;
    }
    appended += piece;
  }
  return LKXReceiveResult::kDone;
}

}  // namespace

LBytesInFlight& LKXScreenshotBudget() {
  static LBytesInFlight budget(kLKXScreenshotBytesInFlightCap);
  return budget;
}

bool LKXReceiveAppend(LThread* thread, int fd, std::string& buffer, std::size_t length, int silenceMs) {
  return ReceivePieces(thread, fd, buffer, length, silenceMs, LRecvDeadline(), nullptr) == LKXReceiveResult::kDone;
}

LKXReceiveResult LKXReceiveWithin(LThread* thread, int fd, std::string& buffer, std::size_t length, int silenceMs,
                                  const LRecvDeadline& deadline, LBytesInFlightShare& share) {
  return ReceivePieces(thread, fd, buffer, length, silenceMs, deadline, &share);
}
