#pragma once
// Real loopback sockets for tests of the servers: a free port, blocking
// clients, and readers bounded by a generous time limit so that a broken
// server fails a test instead of hanging it.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/unique_fd.h"

// A TCP port on 127.0.0.1 that was free a moment ago, outside the range the
// kernel gives to outgoing connections.
std::uint16_t KavrixFreeLoopbackPort();

// A blocking client socket connected to 127.0.0.1:port; invalid on failure.
LUniqueFd KavrixConnectLoopback(std::uint16_t port);
// Connects, retrying while the connection is refused, for at most
// `limitMs` (for a server whose listener is about to bind).
LUniqueFd KavrixConnectLoopbackRetry(std::uint16_t port, int limitMs);

bool KavrixSendAll(int fd, std::string_view bytes);
// Everything until the peer closes; stops early after `limitMs` without data.
std::string KavrixRecvUntilClose(int fd, int limitMs = 10000);
// Exactly `length` bytes, or fewer when the peer closes or `limitMs` passes
// without data.
std::string KavrixRecvExact(int fd, std::size_t length, int limitMs = 10000);
// An HTTP head up to and with the empty line; what came when the peer closed
// or fell silent before it.
std::string KavrixRecvHttpHead(int fd, int limitMs = 10000);
// One HTTP response: the header up to the empty line, then as many body bytes
// as its Content-Length says (none when it has none).
std::string KavrixRecvHttpResponse(int fd, int limitMs = 10000);
// True when the peer has closed: a read returns end of file within `limitMs`
// (any bytes before it are discarded).
bool KavrixPeerClosed(int fd, int limitMs = 10000);

// The number of open descriptors of this process.
int KavrixCountOpenFds();
