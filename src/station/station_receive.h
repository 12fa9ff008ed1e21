#pragma once
// Receiving the bytes a station announced. Every length on the station wire
// is the peer's word, so memory must follow the bytes that arrive, not the
// number that was declared: a screenshot header that declares 10 MB and
// then stalls costs no more than what came before the stall.

#include <cstddef>
#include <string>

class LThread;

// Appends exactly `length` bytes from `fd` to `buffer`, growing it piece by
// piece (kLKXReceivePieceBytes) as the bytes come. `silenceMs` is the
// longest wait for the next bytes; the thread's stop flag ends the wait.
// False when the peer closes, falls silent or the thread is stopped (what
// arrived stays in `buffer`).
[[nodiscard]] bool LKXReceiveAppend(LThread* thread, int fd, std::string& buffer, std::size_t length,
                                    int silenceMs);
