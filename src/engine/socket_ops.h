#pragma once
// The socket operations every network part uses (web connections, station
// sessions, e-mail delivery, the control channel). Sockets are non-blocking;
// each operation waits in slices of 200 ms (wait_budget.h) and tests the
// calling thread's stop flag before each slice, with the thread's stop
// signal inside every wait, so a stop request ends it at once.
//
// `thread` is the calling thread, or null for code without a stop flag (a
// plain function, a test): then only readiness and the time-out decide.
// Results: kLProcessDone (0), kLProcessStopped (1: the stop flag was set),
// kLProcessFailed (2: an error, the peer closed, or the time ran out).

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/ip_socket_tcp.h"
#include "engine/recv_deadline.h"
#include "foundation/process_result.h"

class LThread;

// Sends go out in pieces of at most this many bytes.
inline constexpr std::size_t kLSendPieceBytes = 1024;
// The receive-line operation looks ahead at most this many bytes at a time.
inline constexpr std::size_t kLLinePeekBytes = 60;

// Sends all `length` bytes (no SIGPIPE). A full piece is followed by the next
// at once; after a shorter piece, or EAGAIN, it waits for writability. Each
// slice that ends without writability costs 200 ms of `timeoutMs`. Inside an
// LSendPaceScope (send_pace.h) a wait that the scope's pace no longer allows
// fails; this holds for every send below as well.
[[nodiscard]] LProcessResult ProcessSend(LThread* thread, int fd, const void* data,
                                         std::size_t length, int timeoutMs);

// The same in pieces of at most `pieceBytes` (web responses hand the kernel
// large pieces: one system call per piece).
[[nodiscard]] LProcessResult ProcessSendPieces(LThread* thread, int fd, const void* data,
                                               std::size_t length, int timeoutMs,
                                               std::size_t pieceBytes);

// Sends `length` bytes of the open file `fileFd` from its current offset
// with sendfile, waiting like ProcessSend. A file that ends before `length`
// bytes fails.
[[nodiscard]] LProcessResult ProcessSendFile(LThread* thread, int fd, int fileFd,
                                             std::uint64_t length, int timeoutMs);

// Receives exactly `length` bytes (0 is done at once). `timeoutMs` counts
// silence only: it starts afresh after every chunk that arrives. Once
// `deadline` has passed the receive fails however the bytes come (tested
// before every receive).
[[nodiscard]] LProcessResult ProcessRecvBytes(LThread* thread, int fd, void* buffer,
                                              std::size_t length, int timeoutMs,
                                              const LRecvDeadline& deadline = LRecvDeadline());

// Closes the socket's previous descriptor, then connects a new non-blocking,
// close-on-exec TCP socket to `address`. 255.255.255.255 (a name that did
// not resolve) fails at once without creating a socket. A connect that the
// peer refuses or that times out fails. On any result but done the socket
// is left closed (-1), a stopped attempt included.
[[nodiscard]] LProcessResult ProcessConnect(LThread* thread, LIPSocketTCP& socket,
                                            const sockaddr_in& address, int timeoutMs);

// Receives one line: every byte up to the next LF is consumed, CR bytes are
// dropped and at most `capacity` bytes are kept in `line` (the rest of a long
// line is consumed and discarded). The LF itself is not kept. Nothing beyond
// the LF is consumed, so a request body stays in the socket. When the peer
// closes after some bytes of the line, the line ends there (done); when it
// closes before any byte, failed. `timeoutMs` counts silence only; once
// `deadline` has passed the line fails however the bytes come (it is
// tested before every receive and every 200 ms wait).
[[nodiscard]] LProcessResult ProcessRecvLine(LThread* thread, int fd, std::string& line,
                                             std::size_t capacity, int timeoutMs,
                                             const LRecvDeadline& deadline = LRecvDeadline());

// Waits until the socket has bytes to read, or the peer closed or failed it
// (a receive will then tell which); nothing is consumed. Failed when
// `timeoutMs` of silence pass first.
[[nodiscard]] LProcessResult ProcessWaitReadable(LThread* thread, int fd, int timeoutMs);
