#pragma once
// Receiving a request body. Memory follows the bytes that arrive, not the
// length the client declared, and every body being received holds a share
// of one server-wide budget: a crowd of clients that each announce a large
// body and send nothing more costs next to nothing, and however many send
// at once the bodies never hold more than the budget.

#include <cstddef>
#include <string>

#include "engine/bytes_in_flight.h"
#include "engine/recv_deadline.h"

class LByteTransport;
class LThread;

// Body bytes the whole server holds at once for requests still arriving.
inline constexpr std::size_t kLBodyBytesInFlightCap = 64 * 1024 * 1024;
// The first share a body takes; it doubles as the bytes come, up to the
// declared length.
inline constexpr std::size_t kLBodyFirstPieceBytes = 4 * 1024;

// The budget of all request bodies (capacity kLBodyBytesInFlightCap).
LBytesInFlight& LRequestBodyBudget();

enum class LBodyOutcome {
  kReceived,    // all `length` bytes are in `body`
  kFailed,      // the peer closed or fell silent, the deadline passed, or a stop
  kOverBudget,  // the server-wide budget had no room for the next bytes
};

// Receives `length` bytes into `body`, growing `share` (and the string) ahead
// of the bytes. `silenceMs` is the longest wait for the next bytes;
// `deadline` bounds the whole body.
LBodyOutcome LReceiveRequestBody(LThread* thread, LByteTransport& in, std::size_t length, int silenceMs,
                                 const LRecvDeadline& deadline, LBytesInFlightShare& share,
                                 std::string& body);
