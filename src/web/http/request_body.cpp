#include "web/http/request_body.h"

#include <algorithm>

#include "engine/byte_transport.h"

LBytesInFlight& LRequestBodyBudget() {
  static LBytesInFlight budget(kLBodyBytesInFlightCap);
  return budget;
}

LBodyOutcome LReceiveRequestBody(LThread* thread, LByteTransport& in, std::size_t length, int silenceMs,
                                 const LRecvDeadline& deadline, LBytesInFlightShare& share,
                                 std::string& body) {
  body.clear();
  while (body.size() < length) {
    const std::size_t at = body.size();
    if (at >= share.Held()) {
      // The share is taken before the string grows, so that it counts what
      // the string will hold.
      const std::size_t grown = std::min(length, std::max(kLBodyFirstPieceBytes, 2 * at));
      if (!share.GrowTo(grown)) return LBodyOutcome::kOverBudget;
      body.reserve(grown);
    }
    const std::size_t piece = std::min(length, share.Held()) - at;
    body.resize(at + piece);
    if (in.RecvBytes(thread, body.data() + at, piece, silenceMs, deadline) != kLProcessDone) {
      body.resize(at);
      return LBodyOutcome::kFailed;
    }
  }
  return LBodyOutcome::kReceived;
}
