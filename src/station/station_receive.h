#pragma once
// Receiving the bytes a station announced. Every length on the station wire
// is the peer's word, so memory must follow the bytes that arrive, not the
// number that was declared: a screenshot header that declares 10 MB and
// then stalls costs no more than what came before the stall.

#include <cstddef>
#include <string>

#include "engine/bytes_in_flight.h"
#include "engine/recv_deadline.h"

class LThread;

// Appends exactly `length` bytes from `fd` to `buffer`, growing it piece by
// piece (kLKXReceivePieceBytes) as the bytes come. `silenceMs` is the
// longest wait for the next bytes; the thread's stop flag ends the wait.
// False when the peer closes, falls silent or the thread is stopped (what
// arrived stays in `buffer`).
[[nodiscard]] bool LKXReceiveAppend(LThread* thread, int fd, std::string& buffer, std::size_t length,
                                    int silenceMs);

enum class LKXReceiveResult { kDone, kFailed, kOverBudget };
// The same bounded in time and memory: `deadline` bounds the whole receive,
// and each piece is taken from `share`'s budget before it is received (a
// piece the budget has no room for ends the receive: kOverBudget).
[[nodiscard]] LKXReceiveResult LKXReceiveWithin(LThread* thread, int fd, std::string& buffer, std::size_t length,
                                                int silenceMs, const LRecvDeadline& deadline,
                                                LBytesInFlightShare& share);

// The budget of all screenshots being received (kLKXScreenshotBytesInFlightCap).
LBytesInFlight& LKXScreenshotBudget();
